#pragma once
// The progress of a recording on standard error: on a terminal a bar redrawn in
// place (percent of the timeline, frames per second, time left); otherwise a
// plain line at every tenth.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

class RecordProgress {
 public:
  RecordProgress(uint32_t from_ms, uint32_t to_ms, bool terminal, FILE* out = stderr);
  // After each recorded frame, with its demo time.
  void Update(uint32_t demo_ms);
  // Ends the bar's line.
  void Done();

  // The text of the bar, for a fraction of the way, frames per second and seconds left.
  static std::string Bar(double fraction, double fps, double seconds_left);

 private:
  uint32_t from_ms_, to_ms_;
  bool terminal_;
  FILE* out_;
  uint64_t frames_ = 0;
  int last_tenth_ = 0;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point start_, last_draw_;
};
