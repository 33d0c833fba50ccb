#pragma once
// An RGB picture in memory with the few drawing operations the generated pictures
// need, and a writer for uncompressed 24-bit BMP files.

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

struct Rgb {
  double r = 0, g = 0, b = 0;
};

inline Rgb Mix(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
inline Rgb Scale(Rgb a, double s) { return {a.r * s, a.g * s, a.b * s}; }
inline double Clamp01(double v) { return v < 0 ? 0 : v > 1 ? 1 : v; }
inline double Smoothstep(double e0, double e1, double x) {
  double t = Clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}
// Hue in turns, saturation and value 0-1.
Rgb Hsv(double h, double s, double v);

class Canvas {
 public:
  Canvas(int width, int height, Rgb fill = {});
  int width() const { return w_; }
  int height() const { return h_; }
  Rgb& at(int x, int y) { return px_[size_t(y) * w_ + x]; }
  const Rgb& at(int x, int y) const { return px_[size_t(y) * w_ + x]; }
  bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }
  void set(int x, int y, Rgb c) {
    if (inside(x, y)) at(x, y) = c;
  }
  void FillRect(int x0, int y0, int x1, int y1, Rgb c);  // right and bottom exclusive
  void FillCircle(double cx, double cy, double r, Rgb c);
  void Ring(double cx, double cy, double r0, double r1, Rgb c);
  void FillPolygon(const std::vector<std::pair<double, double>>& points, Rgb c);
  // Text in the VGA font (8x16, or 8x8 with glyph_rows 8), each font pixel drawn
  // as a scale x scale block.
  void Text(int x, int y, const std::string& text, int scale, Rgb c, int glyph_rows = 16);
  // Writes an uncompressed 24-bit BMP, bottom row first; false on failure.
  bool WriteBmp(const std::string& path) const;

 private:
  int w_, h_;
  std::vector<Rgb> px_;
};

// Which pixels of a text in the VGA font are set: width 8 x scale x length,
// height 16 x scale.
std::vector<uint8_t> TextMask(const std::string& text, int scale, int& width, int& height, int glyph_rows = 16);

// Smooth value noise in 0-1 with a fixed seed, for textures.
double ValueNoise(double x, double y, uint32_t seed);
double FractalNoise(double x, double y, int octaves, uint32_t seed);

}  // namespace datagen
