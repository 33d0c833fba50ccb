#include "image/bmp_writer.h"

#include <cstdio>
#include <vector>

bool WriteBmp24(const std::string& path, int w, int h, const std::function<uint32_t(int, int)>& rgb) {
  if (w <= 0 || h <= 0) return false;
  const size_t stride = (size_t(w) * 3 + 3) & ~size_t(3);
  std::vector<uint8_t> f(54 + stride * size_t(h), 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) f[at + i] = uint8_t(v >> (8 * i));
  };
  f[0] = 'B', f[1] = 'M';
  put32(2, uint32_t(f.size())), put32(10, 54), put32(14, 40), put32(18, uint32_t(w)), put32(22, uint32_t(h));
  f[26] = 1, f[28] = 24;
  put32(34, uint32_t(stride * size_t(h))), put32(38, 2835), put32(42, 2835);
  for (int y = 0; y < h; ++y)  // bottom row first
    for (int x = 0; x < w; ++x) {
      const uint32_t c = rgb(x, y);
      uint8_t* p = &f[54 + size_t(h - 1 - y) * stride + 3 * size_t(x)];
      p[0] = uint8_t(c), p[1] = uint8_t(c >> 8), p[2] = uint8_t(c >> 16);
    }
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  const bool ok = std::fwrite(f.data(), 1, f.size(), out) == f.size();
  return std::fclose(out) == 0 && ok;
}
