#pragma once
// The rules of a recording that need no encoder: which formats a file name asks
// for, what size the video gets, and how much sound is due after each frame.

#include <cstdint>
#include <string>
#include <vector>

namespace recorder {

// A chapter mark of a recording, in the recording's own milliseconds, or in demo
// time where a recording's request names it.
struct Chapter {
  uint32_t start_ms = 0, end_ms = 0;
  std::string title;
};

// The chapters of a recording that begins at demo time `first_ms`: those that
// reach past it, moved to start from it (the first at 0).
std::vector<Chapter> ChaptersFrom(const std::vector<Chapter>& demo_chapters, uint32_t first_ms);

struct RecordFormat {
  const char* extension;    // ".mkv"
  const char* container;    // FFmpeg's muxer name
  const char* video_codec;  // FFmpeg's encoder names
  const char* audio_codec;
  bool rgb;  // pixels kept as RGB (lossless), not converted to 4:2:0
};

// The format for a file name by its extension (case-insensitive), null for an
// extension the program does not write. `lossless` asks for FFV1 and FLAC in
// Matroska, which only ".mkv" holds.
const RecordFormat* RecordFormatFor(const std::string& path, bool lossless);
// The extensions, for messages: ".mkv, .mp4, .webm".
const char* RecordExtensions();

struct RecordSize {
  int width = 0, height = 0;
};
// The video size for a display mode: modes under 1080 lines grow to 1080 lines at
// the shape a monitor of their time showed (4:3 up to 1600 pixels wide, square
// pixels above); modes of 1080 lines or more keep their size. Widths and heights
// are made even, as 4:2:0 video needs.
RecordSize DefaultRecordSize(int mode_width, int mode_height);
// `lines` high at the mode's shape by the same rule (--record-size 4k: 2160).
RecordSize RecordSizeAtLines(int mode_width, int mode_height, int lines);
constexpr int kLinesOf4k = 2160;
// The largest video written: 8K UHD. Larger frames take gigabytes of memory in
// the encoders and no player shows them.
constexpr RecordSize kLargestRecordSize{7680, 4320};
bool FitsLargestRecordSize(RecordSize size);
// "WIDTHxHEIGHT" (2 x 2 to the largest size), "native", or "4k" (0 x 2160: 2160
// lines at the mode's shape); false for anything else.
bool ParseRecordSize(const std::string& text, bool& native, RecordSize& size);

// Sound frames due after a frame `elapsed_ms` after the recording's first one:
// round(elapsed_ms * rate / 1000).
uint64_t AudioFramesDue(uint64_t elapsed_ms, int rate);

}  // namespace recorder
