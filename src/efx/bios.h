#pragma once
// The simulated PC power-on screen: logos, memory test, plug-and-play lines and
// the system configuration table, built up in the target frame after frame.

#include <cstdint>

#include "gfx/2d.h"

class efx_bios {
 public:
  int init();
  void update();
  void draw(bitmap& target);
  // The screen shown after `updates` steps: 0 logos and memory test, 1 plug and
  // play, 2 its end, 3 cleared, 4 the configuration table.
  static int phase_at(int updates);

  bitmap large_logo;
  bitmap small_logo;
  int update_count = 0;
  DWORD memory = 0;
  DWORD memory_limit = 0;
  char cpu_name[52] = {};
  int cpu_clock = 0;
  int phase = 0;
};
