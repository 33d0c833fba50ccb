#pragma once
// What a recording writes into: a video file with picture and sound. The FFmpeg
// implementation lives in a module of its own (velmora-record.so), loaded only
// when the program records, so that playing does not load FFmpeg's hundred-odd
// libraries (they were half of the start-up time).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/frame_pump.h"
#include "recorder/record_rules.h"

namespace recorder {

using host::PresentedFrame;

struct VideoOptions {
  std::string path;
  const RecordFormat* format = nullptr;
  RecordSize size;  // of the video; frames of any size are scaled to it
  int fps = 60;
  int sample_rate = 48000;
  bool encode = true;             // false: frames are scaled and converted, then dropped (benchmarks)
  std::vector<Chapter> chapters;  // in the video's milliseconds; kept where the container has them
};

class VideoSink {
 public:
  virtual ~VideoSink() = default;
  // False with the reason in `error` (the file cannot be made, an encoder is missing).
  virtual bool Open(const VideoOptions& options, std::string& error) = 0;
  // One frame in the display mode's own format.
  virtual bool AddFrame(const PresentedFrame& frame, std::string& error) = 0;
  // Interleaved stereo 16-bit sound frames.
  virtual bool AddAudio(const int16_t* samples, size_t frames, std::string& error) = 0;
  // Flushes the encoders, writes the file's index and gives it its name.
  virtual bool Finish(std::string& error) = 0;
  // Removes the unfinished file.
  virtual void Abandon() = 0;
  virtual uint64_t FramesWritten() const = 0;
  virtual uint64_t AudioFramesWritten() const = 0;
};

// A new sink from the recorder module, found beside the executable, one folder
// up (the build's tests and benchmarks) or in ../lib/velmora (installed); null
// with the reason when the module cannot be loaded.
std::unique_ptr<VideoSink> MakeVideoSink(std::string& error);
// Whether the module loads (checked before a recording starts).
bool VideoSinkAvailable(std::string& error);

}  // namespace recorder
