#pragma once
// Recording the demo to a video file: every presented frame goes into the file
// and, after it, exactly the sound due by its demo time, pulled from the mixer
// that would otherwise feed the sound device. No device is opened and nothing is
// shown in the window while recording.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/frame_pump.h"
#include "recorder/record_rules.h"

namespace recorder {

using host::PresentedFrame;

class VideoSink;

class Recording {
 public:
  struct Request {
    std::string path;
    bool lossless = false;
    bool native = false;  // the mode's own size
    RecordSize size;      // 0 x 0: the default size for the mode
    int fps = 60;
    bool encode = true;             // false: convert the frames but write nothing (benchmarks)
    std::vector<Chapter> chapters;  // in demo time
  };
  static constexpr int kSampleRate = 48000;  // the mixer's rate without a device

  Recording();
  ~Recording();

  // Checks the request (the file's kind). False with the reason. The caller
  // sets the run up for it: the mixer pulled at kSampleRate, nothing shown.
  bool Prepare(const Request& request, std::string& error);
  // One presented frame at `demo_ms`: the file is opened at the first one, when
  // the display mode is known. False once anything failed (see Error).
  bool AddFrame(const PresentedFrame& frame, uint32_t demo_ms);
  // Finishes the file; false with Error() when it could not be.
  bool Finish();
  // Removes what was written.
  void Abandon();

  const std::string& Error() const { return error_; }
  uint64_t Frames() const;
  uint64_t AudioFrames() const { return audio_frames_; }
  double Seconds() const;  // of video written
  RecordSize Size() const { return size_; }

 private:
  Request request_;
  const RecordFormat* format_ = nullptr;
  std::unique_ptr<VideoSink> recorder_;
  RecordSize size_;
  bool opened_ = false;
  bool failed_ = false;
  uint32_t first_ms_ = 0;
  uint64_t audio_frames_ = 0;
  std::vector<int16_t> pcm_;  // one frame's sound, kept between frames
  std::string error_;
};

}  // namespace recorder
