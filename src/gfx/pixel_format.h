#pragma once
// Pixel values of a surface's own format and their 8-bit channels. The effects
// compute on channels; in 32- and 24-bit surfaces a pixel already holds them at
// bits 0-7 (blue), 8-15 (green) and 16-23 (red), while a 16-bit surface packs
// them as 5-6-5 and must be unpacked first and packed again after.

#include <cstdint>

#include "base/rgb565.h"
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

// 0x00RRGGBB in the surface's own format.
inline DWORD PixelFor(const bitmap& b, DWORD xrgb) { return IsRgb565(b) ? XrgbToRgb565(xrgb) : xrgb; }
