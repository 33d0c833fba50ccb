#pragma once
// What a run makes besides the picture on the screen: the frames saved at demo
// times (--shot) and by the player (F12), the video (--record) with its
// progress, and the end at --end. The frame pump hands every presented frame
// here.

#include <chrono>
#include <optional>

#include "host/frame_pump.h"
#include "recorder/recording.h"
#include "shell/frame_capture.h"
#include "shell/options.h"
#include "shell/record_progress.h"

class RunOutputs {
 public:
  explicit RunOutputs(const Options& options);
  RunOutputs(const RunOutputs&) = delete;
  RunOutputs& operator=(const RunOutputs&) = delete;

  // Checks where the files go and sets the recording up, before anything
  // starts. 0 to go on; otherwise the status to end with, the reason said.
  int Prepare();
  // From now on the frame pump hands its frames here.
  void Start();
  // The frames stop coming: the run has ended.
  void Stop();
  // After the run: says what could not be made and closes the video. The
  // status to end with, 0 when everything asked for was made. A run that did
  // not start abandons its video.
  int Finish(bool run_started);

 private:
  void OnFrame(const host::PresentedFrame& frame);

  const Options& options_;
  FrameCapture capture_;
  recorder::Recording recorder_;
  std::optional<RecordProgress> progress_;
  std::chrono::steady_clock::time_point record_start_;
  bool ended_ = false;
};
