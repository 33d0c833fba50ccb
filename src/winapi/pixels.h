#pragma once
// Pixel values in a surface format of 2, 3 or 4 bytes per pixel: RGB565, BGR byte
// triples (blue lowest), XRGB8888.

#include <cstdint>

#include "base/rgb565.h"
#include "winapi/win32.h"

namespace winapi {

inline DWORD PixelFromRgb(int bytes_per_pixel, uint8_t r, uint8_t g, uint8_t b) {
  const DWORD xrgb = DWORD(r) << 16 | DWORD(g) << 8 | b;
  return bytes_per_pixel == 2 ? XrgbToRgb565(xrgb) : xrgb;
}
inline void RgbFromPixel(int bytes_per_pixel, DWORD pixel, uint8_t& r, uint8_t& g, uint8_t& b) {
  const DWORD xrgb = bytes_per_pixel == 2 ? Rgb565ToXrgb(pixel) : pixel;
  r = static_cast<uint8_t>(xrgb >> 16), g = static_cast<uint8_t>(xrgb >> 8), b = static_cast<uint8_t>(xrgb);
}
inline DWORD LoadPixel(const uint8_t* p, int bytes_per_pixel) {
  DWORD v = p[0] | p[1] << 8;
  if (bytes_per_pixel > 2) v |= DWORD(p[2]) << 16;
  if (bytes_per_pixel > 3) v |= DWORD(p[3]) << 24;
  return v;
}
inline void StorePixel(uint8_t* p, int bytes_per_pixel, DWORD v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  if (bytes_per_pixel > 2) p[2] = static_cast<uint8_t>(v >> 16);
  if (bytes_per_pixel > 3) p[3] = static_cast<uint8_t>(v >> 24);
}

}  // namespace winapi
