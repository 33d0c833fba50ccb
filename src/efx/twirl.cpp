#include "efx/twirl.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "base/portable_math.h"
#include "efx/trig_tables.h"

float twirl_phase = 0.0f;

float fold_twirl_angle(float a) {
  if (a > 359.0) return static_cast<float>(static_cast<int>(a - 359.0));
  if (a < 0.0) return static_cast<float>(static_cast<int>(a + 359.0));
  return a;
}

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
  double t = portable_math::Atan(dy / dx) * 57.29577951307855;
  if (x < cx && y < cy) return t;
  if (x > cx && y < cy) return 180 - t;
  if (x > cx && y > cy) return t + 180;
  return 360 - t;
}

namespace {

// Distance and angle of every pixel of the inner rectangle depend only on the
// size, so they are worked out once per size (x outer, y inner, as drawn).
struct TwirlGeometry {
  int width = -1, height = -1;
  std::vector<float> distance;
  std::vector<double> angle;
};

const TwirlGeometry& GeometryFor(int W, int H) {
  static TwirlGeometry g;
  if (g.width == W && g.height == H) return g;
  g.width = W, g.height = H;
  g.distance.clear();
  g.angle.clear();
  const int cx = W / 2, cy = H / 2;
  for (int x = 12; x < W - 12; ++x)
    for (int y = 60; y < H - 60; ++y) {
      g.distance.push_back(distance_of(x, y, cx, cy));
      g.angle.push_back(angle_of(x, y, cx, cy));
    }
  return g;
}

// The source position of one pixel; false when it lies outside the destination.
inline bool Source(float d, double theta, double strength, int W, int H, int cx, int cy, int& sx, int& sy) {
  const float a = fold_twirl_angle(static_cast<float>(strength * d * 5.0 + theta));
  // One fold is not always enough (the twist reaches about 765 degrees); the rest
  // wraps instead of reading outside the tables.
  int k = static_cast<int>(a) % 360;
  if (k < 0) k += 360;
  sx = static_cast<int>(-d * COS[k] + cx);
  sy = static_cast<int>(-d * SIN[k] + cy);
  return sx >= 0 && sx < W && sy >= 0 && sy < H;
}

}  // namespace

void twirl(bitmap& destination, bitmap& picture) {
  twirl_phase = twirl_phase < 90.0 ? static_cast<float>(twirl_phase + 0.05) : 60.0f;
  if (destination.lock() != 0) return;
  if (picture.lock() != 0) {
    destination.unlock();
    return;
  }
  const int W = destination.width, H = destination.height, cx = W / 2, cy = H / 2;
  const double strength = portable_math::Cos(static_cast<double>(twirl_phase));  // the whole term in double precision
  const TwirlGeometry& g = GeometryFor(W, H);
  const bool direct = destination.desc.ddpfPixelFormat.dwRGBBitCount == 32 &&
                      picture.desc.ddpfPixelFormat.dwRGBBitCount == 32 && &destination != &picture;
  const uint8_t* src = static_cast<const uint8_t*>(picture.desc.lpSurface);
  uint8_t* dst = static_cast<uint8_t*>(destination.desc.lpSurface);
  size_t i = 0;
  for (int x = 12; x < W - 12; ++x) {
    for (int y = 60; y < H - 60; ++y, ++i) {
      int sx, sy;
      if (!Source(g.distance[i], g.angle[i], strength, W, H, cx, cy, sx, sy)) continue;
      // A position outside a smaller picture leaves the pixel as it was.
      if (sx >= picture.width || sy >= picture.height) continue;
      if (direct) {
        std::memcpy(dst + size_t(y) * destination.desc.lPitch + size_t(x) * 4,
                    src + size_t(sy) * picture.desc.lPitch + size_t(sx) * 4, 4);
      } else {
        DWORD pixel = 0;
        picture.get_pixel(sx, sy, &pixel);
        destination.put_pixel(x, y, pixel);
      }
    }
  }
  picture.unlock();
  destination.unlock();
}
