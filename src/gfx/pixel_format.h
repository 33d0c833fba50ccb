#pragma once
// Pixel values of a surface's own format and their 8-bit channels. The effects
// compute on channels; in 32- and 24-bit surfaces a pixel already holds them at
// bits 0-7 (blue), 8-15 (green) and 16-23 (red), while a 16-bit surface packs
// them as 5-6-5 and must be unpacked first and packed again after.

#include <cstdint>

#include "gfx/2d.h"

// True for the 5-6-5 format of 16-bit surfaces, whether or not the bitmap is locked.
inline bool IsRgb565(const bitmap& b) {
  if (b.desc.ddpfPixelFormat.dwRGBBitCount) return b.desc.ddpfPixelFormat.dwRGBBitCount == 16;
  if (!b.surface) return false;
  DDSURFACEDESC2 d{};
  d.dwSize = sizeof d;
  b.surface->GetSurfaceDesc(&d);
  return d.ddpfPixelFormat.dwRGBBitCount == 16;
}

// A 5-6-5 pixel as 0x00RRGGBB, each channel widened by repeating its top bits.
inline DWORD Rgb565ToXrgb(DWORD p) {
  const DWORD r = p >> 11 & 31, g = p >> 5 & 63, b = p & 31;
  return (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2);
}
// 0x00RRGGBB as a 5-6-5 pixel (the low bits of each channel dropped).
inline DWORD XrgbToRgb565(DWORD p) { return (p >> 19 & 31) << 11 | (p >> 10 & 63) << 5 | (p >> 3 & 31); }

// 0x00RRGGBB in the surface's own format.
inline DWORD PixelFor(const bitmap& b, DWORD xrgb) { return IsRgb565(b) ? XrgbToRgb565(xrgb) : xrgb; }
