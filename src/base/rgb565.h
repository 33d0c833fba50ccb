#pragma once
// The 5-6-5 pixels of 16-bit modes and 0x00RRGGBB, the one conversion every part
// of the program uses: channels widen by repeating their top bits (5-bit 31 gives
// 255) and narrow by dropping their low bits.

#include <cstdint>

inline uint32_t Rgb565ToXrgb(uint32_t p) {
  const uint32_t r = p >> 11 & 31, g = p >> 5 & 63, b = p & 31;
  return (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2);
}

inline uint32_t XrgbToRgb565(uint32_t p) { return (p >> 19 & 31) << 11 | (p >> 10 & 63) << 5 | (p >> 3 & 31); }
