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
// size, so they are worked out once per size, row by row.
struct TwirlGeometry {
  int width = -1, height = -1, columns = 0;
  std::vector<float> distance;
  std::vector<double> angle;
};

constexpr int kLeft = 12, kTop = 60;  // the rectangle's margins, kept on both sides

const TwirlGeometry& GeometryFor(int W, int H) {
  static TwirlGeometry g;
  if (g.width == W && g.height == H) return g;
  g.width = W, g.height = H, g.columns = W - 2 * kLeft > 0 ? W - 2 * kLeft : 0;
  g.distance.clear();
  g.angle.clear();
  const int cx = W / 2, cy = H / 2;
  for (int y = kTop; y < H - kTop; ++y)
    for (int x = kLeft; x < W - kLeft; ++x) {
      g.distance.push_back(distance_of(x, y, cx, cy));
      g.angle.push_back(angle_of(x, y, cx, cy));
    }
  return g;
}

// The table entry of the source direction: the twisted angle, folded once (the
// twist reaches about 765 degrees, so the rest wraps instead of reading outside
// the tables).
inline int Turn(float d, double theta, double strength) {
  const int k = static_cast<int>(fold_twirl_angle(static_cast<float>(strength * d * 5.0 + theta))) % 360;
  return k < 0 ? k + 360 : k;
}

// Where a pixel at distance d takes its colour from, for table entry k.
inline void SourceAt(float d, int k, int cx, int cy, int& sx, int& sy) {
  sx = static_cast<int>(-d * COS[k] + cx);
  sy = static_cast<int>(-d * SIN[k] + cy);
}

// The source position of one pixel; false when it lies outside the destination.
inline bool Source(float d, double theta, double strength, int W, int H, int cx, int cy, int& sx, int& sy) {
  SourceAt(d, Turn(d, theta, strength), cx, cy, sx, sy);
  return sx >= 0 && sx < W && sy >= 0 && sy < H;
}

// Into a different surface of the same depth (B bytes a pixel): order does not
// matter, so rows, each in two passes (the turns first, then the copies) whose
// iterations do not wait on each other.
template <int B>
void TwirlRows(bitmap& destination, const bitmap& picture, const TwirlGeometry& g, double strength) {
  const int W = destination.width, H = destination.height, cx = W / 2, cy = H / 2;
  // A position outside a smaller picture leaves the pixel as it was.
  const int reach_x = W < picture.width ? W : picture.width, reach_y = H < picture.height ? H : picture.height;
  const uint8_t* src = static_cast<const uint8_t*>(picture.desc.lpSurface);
  uint8_t* dst = static_cast<uint8_t*>(destination.desc.lpSurface);
  const size_t src_pitch = size_t(picture.desc.lPitch);
  std::vector<int> turn(size_t(g.columns));
  for (int y = kTop; y < H - kTop; ++y) {
    const size_t at = size_t(y - kTop) * g.columns;
    const float* d = g.distance.data() + at;
    const double* theta = g.angle.data() + at;
    for (int i = 0; i < g.columns; ++i) turn[size_t(i)] = Turn(d[i], theta[i], strength);
    uint8_t* row = dst + size_t(y) * destination.desc.lPitch + size_t(kLeft) * B;
    for (int i = 0; i < g.columns; ++i) {
      int sx, sy;
      SourceAt(d[i], turn[size_t(i)], cx, cy, sx, sy);
      if (sx >= 0 && sx < reach_x && sy >= 0 && sy < reach_y)
        std::memcpy(row + size_t(i) * B, src + size_t(sy) * src_pitch + size_t(sx) * B, B);
    }
  }
}

// One pixel from the picture into the destination, as the twirl copies it.
template <int B>
void CopyPixel(bitmap& destination, const bitmap& picture, int x, int y, int sx, int sy) {
  if constexpr (B > 0) {
    std::memcpy(static_cast<uint8_t*>(destination.desc.lpSurface) + size_t(y) * destination.desc.lPitch + size_t(x) * B,
                static_cast<const uint8_t*>(picture.desc.lpSurface) + size_t(sy) * picture.desc.lPitch + size_t(sx) * B,
                B);
  } else {
    DWORD pixel = 0;
    const_cast<bitmap&>(picture).get_pixel(sx, sy, &pixel);
    destination.put_pixel(x, y, pixel);
  }
}

// Frames from the last back: each pass keeps only the pixels whose source fell
// outside, until none is left or the first frame is done.
template <int B>
void TwirlFramesBack(bitmap& destination, const bitmap& picture, const std::vector<double>& strengths) {
  const int W = destination.width, H = destination.height, cx = W / 2, cy = H / 2;
  const int reach_x = W < picture.width ? W : picture.width, reach_y = H < picture.height ? H : picture.height;
  const TwirlGeometry& g = GeometryFor(W, H);
  std::vector<int> open(g.distance.size());
  for (size_t i = 0; i < open.size(); ++i) open[i] = int(i);
  for (size_t f = strengths.size(); f-- > 0 && !open.empty();) {
    size_t kept = 0;
    for (const int i : open) {
      int sx, sy;
      SourceAt(g.distance[size_t(i)], Turn(g.distance[size_t(i)], g.angle[size_t(i)], strengths[f]), cx, cy, sx, sy);
      if (sx >= 0 && sx < reach_x && sy >= 0 && sy < reach_y)
        CopyPixel<B>(destination, picture, kLeft + i % g.columns, kTop + i / g.columns, sx, sy);
      else
        open[kept++] = i;
    }
    open.resize(kept);
  }
}

}  // namespace

void prepare_twirl(const bitmap& destination) { GeometryFor(destination.width, destination.height); }

float next_twirl_phase(float phase) { return phase < 90.0 ? static_cast<float>(phase + 0.05) : 60.0f; }

float twirl_frames(bitmap& destination, bitmap& picture, float phase, int frames) {
  if (frames <= 0) return phase;
  if (&destination == &picture) {
    // A picture twisted onto itself reads what the frame before wrote: each is drawn.
    const float kept = twirl_phase;
    twirl_phase = phase;
    for (int i = 0; i < frames; ++i) twirl(destination, picture);
    std::swap(phase, twirl_phase);
    twirl_phase = kept;
    return phase;
  }
  std::vector<double> strengths(static_cast<size_t>(frames));
  for (double& s : strengths) {
    phase = next_twirl_phase(phase);
    s = portable_math::Cos(static_cast<double>(phase));
  }
  if (destination.lock() != 0) return phase;
  if (picture.lock() != 0) {
    destination.unlock();
    return phase;
  }
  const DWORD bits = destination.desc.ddpfPixelFormat.dwRGBBitCount;
  const bool rows = picture.desc.ddpfPixelFormat.dwRGBBitCount == bits;
  if (rows && bits == 32)
    TwirlFramesBack<4>(destination, picture, strengths);
  else if (rows && bits == 24)
    TwirlFramesBack<3>(destination, picture, strengths);
  else if (rows && bits == 16)
    TwirlFramesBack<2>(destination, picture, strengths);
  else
    TwirlFramesBack<0>(destination, picture, strengths);
  picture.unlock();
  destination.unlock();
  return phase;
}

void twirl(bitmap& destination, bitmap& picture) {
  twirl_phase = next_twirl_phase(twirl_phase);
  if (destination.lock() != 0) return;
  if (picture.lock() != 0) {
    destination.unlock();
    return;
  }
  const int W = destination.width, H = destination.height, cx = W / 2, cy = H / 2;
  const double strength = portable_math::Cos(static_cast<double>(twirl_phase));  // the whole term in double precision
  const TwirlGeometry& g = GeometryFor(W, H);
  const DWORD bits = destination.desc.ddpfPixelFormat.dwRGBBitCount;
  const bool rows = &destination != &picture && picture.desc.ddpfPixelFormat.dwRGBBitCount == bits;
  if (rows && bits == 32) {
    TwirlRows<4>(destination, picture, g, strength);
  } else if (rows && bits == 24) {
    TwirlRows<3>(destination, picture, g, strength);
  } else if (rows && bits == 16) {
    TwirlRows<2>(destination, picture, g, strength);
  } else {
    // Down the columns, as drawn: a picture twisted onto itself reads pixels
    // already written.
    for (int x = kLeft; x < W - kLeft; ++x)
      for (int y = kTop; y < H - kTop; ++y) {
        const size_t i = size_t(y - kTop) * g.columns + (x - kLeft);
        int sx, sy;
        if (!Source(g.distance[i], g.angle[i], strength, W, H, cx, cy, sx, sy)) continue;
        if (sx >= picture.width || sy >= picture.height) continue;
        DWORD pixel = 0;
        picture.get_pixel(sx, sy, &pixel);
        destination.put_pixel(x, y, pixel);
      }
  }
  picture.unlock();
  destination.unlock();
}
