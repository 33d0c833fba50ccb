#include "icon.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "canvas.h"
#include "image/png_writer.h"

namespace datagen {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Distance from p to the segment a-b, in the icon's unit square.
double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
  const double dx = bx - ax, dy = by - ay;
  const double t = Clamp01(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy));
  return std::hypot(px - ax - t * dx, py - ay - t * dy);
}

// The icon at one point of the unit square (0-1 on both axes, y down).
Rgb IconAt(double x, double y) {
  const double cx = x - 0.5, cy = y - 0.5;
  const double r = std::hypot(cx, cy);
  // A dark tile with rounded corners.
  const double corner = 0.16, half = 0.5 - corner;
  const double qx = std::fmax(std::fabs(cx) - half, 0), qy = std::fmax(std::fabs(cy) - half, 0);
  const double tile = Smoothstep(0.006, -0.006, std::hypot(qx, qy) - corner);
  Rgb c = Scale(Mix(Rgb{0.10, 0.06, 0.22}, Rgb{0.02, 0.02, 0.06}, Clamp01(r * 1.6)), tile);
  // A ring of colour, its hue twisted the further out it lies, as the twirl does.
  const double ring = Smoothstep(0.05, 0.0, std::fabs(r - 0.30) - 0.07);
  const double hue = std::atan2(cy, cx) / (2 * kPi) + r * 1.8;
  c = Mix(c, Hsv(hue - std::floor(hue), 0.75, 0.95), ring * tile);
  // A wireframe V over it, lines of equal width at every size.
  const double v =
      std::fmin(SegmentDistance(x, y, 0.30, 0.30, 0.50, 0.74), SegmentDistance(x, y, 0.70, 0.30, 0.50, 0.74));
  c = Mix(c, Rgb{1, 1, 1}, Smoothstep(0.045, 0.030, v) * tile);
  return c;
}

bool WriteIcon(const std::string& path, int size) {
  constexpr int kSamples = 4;  // per axis, for smooth edges at 16 pixels too
  std::vector<uint8_t> rgb(size_t(size) * size * 3);
  for (int py = 0; py < size; ++py)
    for (int px = 0; px < size; ++px) {
      Rgb sum;
      for (int sy = 0; sy < kSamples; ++sy)
        for (int sx = 0; sx < kSamples; ++sx) {
          Rgb s = IconAt((px + (sx + 0.5) / kSamples) / size, (py + (sy + 0.5) / kSamples) / size);
          sum = Rgb{sum.r + s.r, sum.g + s.g, sum.b + s.b};
        }
      sum = Scale(sum, 1.0 / (kSamples * kSamples));
      uint8_t* out = &rgb[(size_t(py) * size + px) * 3];
      out[0] = uint8_t(std::lround(Clamp01(sum.r) * 255));
      out[1] = uint8_t(std::lround(Clamp01(sum.g) * 255));
      out[2] = uint8_t(std::lround(Clamp01(sum.b) * 255));
    }
  return WritePngRgb(path.c_str(), size, size, rgb.data());
}

}  // namespace

bool WriteIcons(const std::string& directory) {
  bool ok = true;
  for (int size : {16, 32, 48, 64, 128, 256})
    ok = WriteIcon(directory + "/velmora-" + std::to_string(size) + ".png", size) && ok;
  return ok;
}

}  // namespace datagen
