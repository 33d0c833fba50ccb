#pragma once
// Darkens a bitmap in place: each colour channel of every pixel down by 20, not
// below 0.

#include "gfx/2d.h"

class efx_fade {
 public:
  void run(bitmap& target);
};
