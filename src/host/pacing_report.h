#pragma once
// How evenly frames reached the screen and how the sound kept in step:
// --pacing-report prints these at the end of a run.

#include <cstdint>
#include <string>

namespace host {

// Called by the frame pump as each frame is shown.
void NotePresent();

struct PacingFigures {
  uint64_t shown = 0;
  uint64_t skipped = 0;
  double frame_rate = 0;  // of the paced clock; 0 on the others
  // Intervals between presents, in ms: 5th, 50th and 95th percentile.
  double p5_ms = 0, p50_ms = 0, p95_ms = 0;
  double latency_ms = 0;             // the sound device's, as assumed
  double largest_difference_ms = 0;  // between the picture and the sound heard
  std::string video_driver;          // the desktop's protocol the frames went through ("x11", "wayland")
};
PacingFigures Pacing();
// The figures in a few lines of words.
std::string DescribePacing(const PacingFigures& figures);

}  // namespace host
