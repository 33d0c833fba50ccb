#pragma once
// One pixel of a frame in the display mode's own format as 0x00RRGGBB: 16-bit
// 5-6-5 little-endian, 24-bit blue-green-red bytes, 32-bit blue-green-red-unused
// bytes. The screen, the shots and the recordings all read frames this way.

#include <cstdint>

#include "base/rgb565.h"

inline uint32_t XrgbAt(const uint8_t* p, int bytes_per_pixel) {
  if (bytes_per_pixel == 2) return Rgb565ToXrgb(uint32_t(p[0] | p[1] << 8));
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
}
