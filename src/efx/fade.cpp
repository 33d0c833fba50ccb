#include "efx/fade.h"

#include <cstring>

#include "gfx/pixel_format.h"

namespace {

inline DWORD Faded(DWORD p) {
  DWORD r = p >> 16 & 255, g = p >> 8 & 255, b = p & 255;
  r = r > 20 ? r - 20 : 0;
  g = g > 20 ? g - 20 : 0;
  b = b > 20 ? b - 20 : 0;
  return r << 16 | g << 8 | b;
}

}  // namespace

void efx_fade::run(bitmap& target) {
  if (target.lock() != 0) return;
  const DWORD bits = target.desc.ddpfPixelFormat.dwRGBBitCount;
  if (bits == 32) {
    // Row by row through the locked memory; the top byte of a pixel ends up 0, as
    // the per-pixel rebuild from three channels gives.
    for (int y = 0; y < target.height; ++y) {
      uint8_t* row = static_cast<uint8_t*>(target.desc.lpSurface) + size_t(y) * target.desc.lPitch;
      for (int x = 0; x < target.width; ++x) {
        DWORD p;
        std::memcpy(&p, row + 4 * x, 4);
        p = Faded(p);
        std::memcpy(row + 4 * x, &p, 4);
      }
    }
  } else {
    for (int x = 0; x < target.width; ++x)
      for (int y = 0; y < target.height; ++y) {
        DWORD p = 0;
        target.get_pixel(x, y, &p);
        // 16-bit pixels fade on their channels too, not on 32-bit positions.
        target.put_pixel(x, y, IsRgb565(target) ? XrgbToRgb565(Faded(Rgb565ToXrgb(p))) : Faded(p));
      }
  }
  target.unlock();
}
