#include "efx/twirl.h"

#include <cmath>

#include "shell/demo.h"

float twirl_phase = 0.0f;

float distance_of(int x, int y, int cx, int cy) {
  float dx = std::fabs(static_cast<float>(x - cx));
  float dy = std::fabs(static_cast<float>(y - cy));
  return static_cast<float>(std::sqrt(dx * dx + dy * dy));
}

double angle_of(int x, int y, int cx, int cy) {
  if (y == cy && x > cx) return 180;
  if (y == cy && x < cx) return 0;
  if (x == cx && y > cy) return 270;
  if (x == cx && y < cy) return 90;
  if (x == cx && y == cy) return 0;
  double dx = std::abs(x - cx), dy = std::abs(y - cy);
  double t = std::atan(dy / dx) * 57.29577951307855;
  if (x < cx && y < cy) return t;
  if (x > cx && y < cy) return 180 - t;
  if (x > cx && y > cy) return t + 180;
  return 360 - t;
}

void twirl(bitmap& destination, bitmap& picture) {
  twirl_phase = twirl_phase < 90.0 ? static_cast<float>(twirl_phase + 0.05) : 60.0f;
  if (destination.lock() != 0) return;
  if (picture.lock() != 0) {
    destination.unlock();
    return;
  }
  const int W = destination.width, H = destination.height, cx = W / 2, cy = H / 2;
  const double strength = std::cos(twirl_phase);
  for (int x = 12; x < W - 12; ++x) {
    for (int y = 60; y < H - 60; ++y) {
      const float d = distance_of(x, y, cx, cy);
      const double theta = angle_of(x, y, cx, cy);
      float a = static_cast<float>(strength * d * 5.0 + theta);
      if (a > 359.0) a = static_cast<float>(static_cast<int>(a - 359.0));
      else if (a < 0.0) a = static_cast<float>(static_cast<int>(a + 359.0));
      // One fold is not always enough (the twist reaches about 765 degrees); the
      // rest wraps instead of reading outside the tables.
      int k = static_cast<int>(a) % 360;
      if (k < 0) k += 360;
      const int sx = static_cast<int>(-d * COS[k] + cx);
      const int sy = static_cast<int>(-d * SIN[k] + cy);
      if (sx >= 0 && sx < W && sy >= 0 && sy < H) {
        DWORD pixel = 0;
        // A position outside a smaller picture leaves the pixel as it was.
        if (picture.get_pixel(sx, sy, &pixel) == 0) destination.put_pixel(x, y, pixel);
      }
    }
  }
  picture.unlock();
  destination.unlock();
}
