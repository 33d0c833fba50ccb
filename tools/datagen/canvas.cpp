#include "canvas.h"

#include <algorithm>
#include <cstdio>

#include "image/bmp_writer.h"
#include "winapi/vga_font.h"

namespace datagen {

Rgb Hsv(double h, double s, double v) {
  h = (h - std::floor(h)) * 6;
  int i = int(h) % 6;
  double f = h - std::floor(h), p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
  switch (i) {
    case 0: return {v, t, p};
    case 1: return {q, v, p};
    case 2: return {p, v, t};
    case 3: return {p, q, v};
    case 4: return {t, p, v};
    default: return {v, p, q};
  }
}

Canvas::Canvas(int width, int height, Rgb fill) : w_(width), h_(height), px_(size_t(width) * height, fill) {}

void Canvas::FillRect(int x0, int y0, int x1, int y1, Rgb c) {
  for (int y = std::max(0, y0); y < std::min(h_, y1); ++y)
    for (int x = std::max(0, x0); x < std::min(w_, x1); ++x) at(x, y) = c;
}

void Canvas::FillCircle(double cx, double cy, double r, Rgb c) { Ring(cx, cy, -1, r, c); }

void Canvas::Ring(double cx, double cy, double r0, double r1, Rgb c) {
  for (int y = std::max(0, int(cy - r1 - 1)); y <= std::min(h_ - 1, int(cy + r1 + 1)); ++y)
    for (int x = std::max(0, int(cx - r1 - 1)); x <= std::min(w_ - 1, int(cx + r1 + 1)); ++x) {
      double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
      if (d <= r1 && d > r0) at(x, y) = c;
    }
}

void Canvas::FillPolygon(const std::vector<std::pair<double, double>>& p, Rgb c) {
  for (int y = 0; y < h_; ++y) {
    double sy = y + 0.5;
    std::vector<double> xs;
    for (size_t i = 0; i < p.size(); ++i) {
      auto [x0, y0] = p[i];
      auto [x1, y1] = p[(i + 1) % p.size()];
      if ((y0 <= sy && y1 > sy) || (y1 <= sy && y0 > sy)) xs.push_back(x0 + (sy - y0) / (y1 - y0) * (x1 - x0));
    }
    std::sort(xs.begin(), xs.end());
    for (size_t i = 0; i + 1 < xs.size(); i += 2)
      for (int x = std::max(0, int(std::ceil(xs[i] - 0.5))); x < std::min(w_, int(std::ceil(xs[i + 1] - 0.5))); ++x)
        at(x, y) = c;
  }
}

std::vector<uint8_t> TextMask(const std::string& text, int scale, int& width, int& height, int glyph_rows) {
  width = int(text.size()) * 8 * scale;
  height = glyph_rows * scale;
  std::vector<uint8_t> mask(size_t(width) * height, 0);
  for (size_t i = 0; i < text.size(); ++i)
    for (int row = 0; row < glyph_rows; ++row) {
      const unsigned char code = static_cast<unsigned char>(text[i]);
      unsigned char bits = glyph_rows == 8 ? kVgaFont8x8[code][row] : kVgaFont8x16[code][row];
      for (int col = 0; col < 8; ++col)
        if (bits & (0x80 >> col))
          for (int dy = 0; dy < scale; ++dy)
            for (int dx = 0; dx < scale; ++dx) mask[size_t(row * scale + dy) * width + (i * 8 + col) * scale + dx] = 1;
    }
  return mask;
}

void Canvas::Text(int x, int y, const std::string& text, int scale, Rgb c, int glyph_rows) {
  int w, h;
  std::vector<uint8_t> mask = TextMask(text, scale, w, h, glyph_rows);
  for (int ty = 0; ty < h; ++ty)
    for (int tx = 0; tx < w; ++tx)
      if (mask[size_t(ty) * w + tx]) set(x + tx, y + ty, c);
}

bool Canvas::WriteBmp(const std::string& path) const {
  auto byte = [](double v) { return uint32_t(std::lround(Clamp01(v) * 255)); };
  return WriteBmp24(path, w_, h_, [&](int x, int y) {
    const Rgb& c = at(x, y);
    return byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
  });
}

namespace {
double Lattice(int x, int y, uint32_t seed) {
  uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return ((h ^ (h >> 16)) & 0xFFFFFF) / double(0xFFFFFF);
}
}  // namespace

double ValueNoise(double x, double y, uint32_t seed) {
  int x0 = int(std::floor(x)), y0 = int(std::floor(y));
  double fx = x - x0, fy = y - y0;
  fx = fx * fx * (3 - 2 * fx), fy = fy * fy * (3 - 2 * fy);
  double a = Lattice(x0, y0, seed), b = Lattice(x0 + 1, y0, seed);
  double c = Lattice(x0, y0 + 1, seed), d = Lattice(x0 + 1, y0 + 1, seed);
  return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

double FractalNoise(double x, double y, int octaves, uint32_t seed) {
  double sum = 0, amplitude = 0.5, total = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += ValueNoise(x, y, seed + i) * amplitude;
    total += amplitude;
    x *= 2, y *= 2, amplitude *= 0.5;
  }
  return sum / total;
}

}  // namespace datagen
