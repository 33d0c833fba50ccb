#pragma once
// A video file with picture and sound, written with FFmpeg's libraries. The file
// is written under a temporary name beside the requested one and takes that name
// only when it is finished, so a failed recording leaves nothing under it.

#include <cstdint>
#include <memory>
#include <string>

#include "recorder/video_sink.h"

namespace recorder {

class VideoRecorder {
 public:
  using Options = VideoOptions;
  VideoRecorder();
  ~VideoRecorder();  // abandons an unfinished file
  VideoRecorder(const VideoRecorder&) = delete;
  VideoRecorder& operator=(const VideoRecorder&) = delete;

  // False with the reason in `error` (the file cannot be made, an encoder is missing).
  bool Open(const Options& options, std::string& error);
  // One frame in the display mode's own format: scaled by whole multiples with
  // nearest neighbours, then resized exactly to the video size if still needed.
  bool AddFrame(const PresentedFrame& frame, std::string& error);
  // Interleaved stereo 16-bit sound frames.
  bool AddAudio(const int16_t* samples, size_t frames, std::string& error);
  // Flushes the encoders, writes the file's index and gives it its name.
  bool Finish(std::string& error);
  // Removes the unfinished file.
  void Abandon();

  uint64_t FramesWritten() const;
  uint64_t AudioFramesWritten() const;

  struct State;  // the encoders and the file; defined where FFmpeg is

 private:
  std::unique_ptr<State> s_;
};

}  // namespace recorder
