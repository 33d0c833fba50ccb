#pragma once
// The short timeline a viewer sees after a move, a step or a pause, and while
// paused: a thin bar along the bottom of the picture with the time, the length
// and the part ("1:23 / 1:46 · bump") over a track marked at the parts. It is
// drawn at the window's resolution and laid over the picture by the
// presentation, never into the demo's frames, shots or recordings, and fades
// out 1.5 s after the last key.

#include <cstdint>
#include <string>

#include "gfx/2d.h"

class TimelineBar {
 public:
  void SetEnabled(bool on) { enabled_ = on; }
  // A move, a step or a pause: shown from now on.
  void Wake();
  // Before a frame of demo time `demo_ms` is shown, or while the picture stands
  // (`paused`): the bar brought up to date, or taken away once faded. True when
  // what lies over the picture changed.
  bool Update(DWORD demo_ms, bool paused);
  void Free();

 private:
  bool LayOut();
  void Draw(DWORD demo_ms);
  bool Hide();

  bool enabled_ = true;
  bool awake_ = false;
  uint32_t woken_at_ = 0;  // the input clock's ms
  bool shown_ = false;
  uint8_t alpha_ = 0;
  bitmap bar_;
  int scale_ = 1;
  std::string text_;
  int filled_ = -1;  // the track's played width, as drawn
};

TimelineBar& TheTimelineBar();

// "1:23 / 1:46 · bump": the bar's words for demo time `demo_ms`.
std::string TimelineText(DWORD demo_ms);
