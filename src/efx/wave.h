#pragma once
// Concentric ripples: a picture redrawn with every pixel displaced by 10 pixels in
// a direction that turns with the squared distance from a centre.

#include "gfx/2d.h"

class efx_wave {
 public:
  ~efx_wave();
  bool load(const char* file_name);
  void run(bitmap& destination);
  void free();
  void set_centre(int x, int y) { centre_x = x, centre_y = y; }
  // Squared distance per degree of ripple phase; 0 is refused (the run draws nothing).
  void set_divisor(int d) { divisor = d; }

  bitmap* buffer = nullptr;
  int centre_x = 0;
  int centre_y = 0;
  int divisor = 0;
};
