#include "effect_reference.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/portable_math.h"
#include "efx/trig_tables.h"
#include "efx/twirl.h"

// The twirl exactly as written: per pixel, through get_pixel and put_pixel.
void TwirlReference(bitmap& destination, bitmap& picture, float& phase) {
  phase = phase < 90.0 ? static_cast<float>(phase + 0.05) : 60.0f;
  destination.lock();
  picture.lock();
  const int W = destination.width, H = destination.height, cx = W / 2, cy = H / 2;
  for (int x = 12; x < W - 12; ++x)
    for (int y = 60; y < H - 60; ++y) {
      float d = distance_of(x, y, cx, cy);
      double theta = angle_of(x, y, cx, cy);
      float a = static_cast<float>(portable_math::Cos(static_cast<double>(phase)) * d * 5.0 + theta);
      if (a > 359.0)
        a = static_cast<float>(static_cast<int>(a - 359.0));
      else if (a < 0.0)
        a = static_cast<float>(static_cast<int>(a + 359.0));
      int k = ((static_cast<int>(a) % 360) + 360) % 360;
      int sx = static_cast<int>(-d * COS[k] + cx), sy = static_cast<int>(-d * SIN[k] + cy);
      DWORD p = 0;
      if (sx >= 0 && sx < W && sy >= 0 && sy < H && picture.get_pixel(sx, sy, &p) == 0) destination.put_pixel(x, y, p);
    }
  picture.unlock();
  destination.unlock();
}

// One lit frame exactly as written, pixel by pixel.
void BumpReference(efx_bump& b, bitmap& destination) {
  b.lock();
  destination.lock();
  const int W = b.width, H = b.height;
  auto h = [&](int x, int y) { return int(b.heightmap[y * W + x]); };
  for (int y = 1; y < H - 1; ++y)
    for (int x = 1; x < W - 1; ++x) {
      int dx = std::min(127, std::abs(h(x + 1, y) - h(x - 1, y) - (x - b.light_x)));
      int dy = std::min(127, std::abs(h(x, y + 1) - h(x, y - 1) - (y - b.light_y)));
      DWORD p = 0;
      b.get_pixel(x, y, &p);
      DWORD bl = p & 255, g = p >> 8 & 255, r = p >> 16 & 255;
      destination.put_pixel(x, y,
                            (bl * b.lightmapb[dx][dy]) >> 7 | ((g * b.lightmapg[dx][dy]) >> 7) << 8 |
                                ((r * b.lightmapr[dx][dy]) >> 7) << 16);
    }
  b.unlock();
  destination.unlock();
}
