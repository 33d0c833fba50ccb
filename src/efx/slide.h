#pragma once
// The column slide: one 64-pixel strip at a time is pushed 7 rows down or up per
// frame, smearing the picture left in the target.

#include <cstdint>

#include "gfx/2d.h"

class efx_slide {
 public:
  void update();
  void draw(bitmap& target);

  int tick_counter = 0;
  int column = 0;
  // The first strip runs down; its neighbours alternate.
  uint8_t downward = 1;
};
