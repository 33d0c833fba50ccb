#include <cstdint>
#include <utility>

#include "base/logfile.h"
#include "gfx/2d.h"
#include "gfx/dd_error_names.h"
#include "gfx/display.h"

namespace {

RECT Ordered(const RECT& r) {
  RECT o = r;
  if (o.left > o.right) std::swap(o.left, o.right);
  if (o.top > o.bottom) std::swap(o.top, o.bottom);
  return o;
}

// trunc of a float product, saturated so that absurd rectangles cannot overflow.
LONG Trunc(float v) {
  if (!(v > -2147483520.0f)) return v != v ? 0 : INT32_MIN;
  if (v >= 2147483520.0f) return INT32_MAX;
  return static_cast<LONG>(v);
}

}  // namespace

int bitmap::blit(bitmap& destination, RECT* sourceRect, RECT* destinationRect) {
  // A bitmap without a surface is not a valid argument; nothing reaches the platform.
  if (!holds_surface() || !destination.holds_surface()) return 0;

  DDSURFACEDESC2 d{};
  d.dwSize = 124;
  surface->GetSurfaceDesc(&d);
  width = static_cast<int>(d.dwWidth);
  height = static_cast<int>(d.dwHeight);
  DDSURFACEDESC2 dd{};
  dd.dwSize = 124;
  destination.surface->GetSurfaceDesc(&dd);
  const LONG W = static_cast<LONG>(dd.dwWidth), H = static_cast<LONG>(dd.dwHeight);

  RECT S = sourceRect ? Ordered(*sourceRect) : RECT{0, 0, width, height};
  RECT D = destinationRect ? Ordered(*destinationRect) : RECT{0, 0, W, H};
  // A zero-sized rectangle has nothing to copy (and no scale factor).
  if (S.left == S.right || S.top == S.bottom || D.left == D.right || D.top == D.bottom) return 1;

  if (destinationRect) {
    const float fx = float(S.right - S.left) / float(D.right - D.left);
    const float fy = float(S.bottom - S.top) / float(D.bottom - D.top);
    if (D.left < 0) S.left -= Trunc(D.left * fx), D.left = 0;
    if (D.top < 0) S.top -= Trunc(D.top * fy), D.top = 0;
    if (D.right > W && D.right > 0) S.right -= Trunc((D.right - W) * fx), D.right = W;
    if (D.bottom > H && D.bottom > 0) S.bottom -= Trunc((D.bottom - H) * fy), D.bottom = H;
    if (S.left >= S.right || S.top >= S.bottom) return 1;
  }
  if (sourceRect) {
    const float fx = float(D.right - D.left) / float(S.right - S.left);
    const float fy = float(D.bottom - D.top) / float(S.bottom - S.top);
    if (S.left < 0) D.left -= Trunc(S.left * fx), S.left = 0;
    if (S.top < 0) D.top -= Trunc(S.top * fy), S.top = 0;
    if (S.right > width && S.right > 0) D.right -= Trunc((S.right - width) * fx), S.right = width;
    if (S.bottom > height && S.bottom > 0) D.bottom -= Trunc((S.bottom - height) * fy), S.bottom = height;
    if (D.left >= D.right || D.top >= D.bottom) return 1;
  }

  // Clipping can empty one rectangle and not the other (a destination wholly
  // outside the target, a source wholly outside the picture): nothing to copy.
  if (S.left >= S.right || S.top >= S.bottom || D.left >= D.right || D.top >= D.bottom) return 1;

  if (blit_error) return 0;
  const DWORD flags = DDBLT_DONOTWAIT | (use_colorkey == 1 ? DDBLT_KEYSRC : 0);
  g_hr = destination.surface->Blt(&D, surface, &S, flags, nullptr);
  if (g_hr == 0) return 1;
  if (g_hr == DDERR_WASSTILLDRAWING) return 1;
  if (g_hr == DDERR_SURFACELOST) {
    if (!g_bDisplayReady) DxRestore();
    restore();
    return 1;
  }
  blit_error = 1;
  log_2d.print("bitmap %lu blit\n", LogId(this));
  log_2d.print("{\n");
  if (const char* word = BlitErrorWord(g_hr))
    log_2d.status(word, "blit(%lu, %lu, %lu)", LogId(primary.surface), LogId(sourceRect), LogId(destinationRect));
  log_2d.print("}\n");
  return 0;
}

int bitmap::flip() {
  x = y = 0;
  RECT r{0, 0, width, height};
  blit(primary, nullptr, &r);
  return 1;
}
