// Load time of a 1024 x 768 picture in each format the loader reads, through
// bitmap::load (file read, decode, surface in the display's format).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "gfx/2d.h"
#include "gfx/display.h"
#include "host/last_error.h"
#include "host/settings.h"
#include "shell/winmain.h"
#include "winapi/window_extras.h"

namespace {

constexpr int W = 1024, H = 768;

uint8_t Red(int x, int y) { return uint8_t(x ^ y); }
uint8_t Green(int x, int y) { return uint8_t(x / 4 + y / 3); }
uint8_t Blue(int x, int) { return uint8_t(x / 64 * 16); }
uint8_t Index(int x, int y) { return uint8_t((x / 16 + y / 16) & 255); }  // long runs

void Put(std::vector<uint8_t>& f, size_t at, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) f[at + i] = uint8_t(v >> (8 * i));
}

std::vector<uint8_t> BmpHeader(int bits, uint32_t compression, int palette, size_t data) {
  std::vector<uint8_t> f(54 + palette * 4, 0);
  f[0] = 'B', f[1] = 'M';
  Put(f, 2, uint32_t(f.size() + data), 4), Put(f, 10, uint32_t(f.size()), 4), Put(f, 14, 40, 4);
  Put(f, 18, W, 4), Put(f, 22, H, 4), Put(f, 26, 1, 2), Put(f, 28, bits, 2), Put(f, 30, compression, 4);
  Put(f, 46, palette, 4);
  for (int i = 0; i < palette; ++i) Put(f, 54 + 4 * i, uint32_t(i * 0x010305), 4);
  return f;
}

std::vector<uint8_t> Bmp(int bits) {
  std::vector<uint8_t> f = BmpHeader(bits, 0, bits == 8 ? 256 : 0, 0);
  const size_t stride = (size_t(W) * bits / 8 + 3) & ~size_t(3), start = f.size();
  f.resize(start + stride * H, 0);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      uint8_t* p = &f[start + size_t(H - 1 - y) * stride + size_t(x) * bits / 8];
      if (bits == 8)
        p[0] = Index(x, y);
      else if (bits == 16)
        Put(f, p - f.data(), (Red(x, y) >> 3) << 10 | (Green(x, y) >> 3) << 5 | Blue(x, y) >> 3, 2);
      else
        p[0] = Blue(x, y), p[1] = Green(x, y), p[2] = Red(x, y);
    }
  Put(f, 2, uint32_t(f.size()), 4);
  return f;
}

std::vector<uint8_t> Rle8() {
  std::vector<uint8_t> data;
  for (int y = H - 1; y >= 0; --y) {
    for (int x = 0; x < W;) {
      int n = 1;
      while (x + n < W && n < 255 && Index(x + n, y) == Index(x, y)) ++n;
      data.push_back(uint8_t(n)), data.push_back(Index(x, y));
      x += n;
    }
    data.push_back(0), data.push_back(0);
  }
  data.push_back(0), data.push_back(1);
  std::vector<uint8_t> f = BmpHeader(8, 1, 256, data.size());
  f.insert(f.end(), data.begin(), data.end());
  return f;
}

std::vector<uint8_t> Pcx(int planes) {
  std::vector<uint8_t> f(128, 0);
  f[0] = 10, f[1] = 5, f[2] = 1, f[3] = 8, f[65] = uint8_t(planes);
  Put(f, 8, W - 1, 2), Put(f, 10, H - 1, 2), Put(f, 66, W, 2);
  auto run = [&](const std::vector<uint8_t>& row) {
    for (size_t x = 0; x < row.size();) {
      size_t n = 1;
      while (x + n < row.size() && n < 63 && row[x + n] == row[x]) ++n;
      if (n > 1 || row[x] > 192) f.push_back(uint8_t(192 + n));
      f.push_back(row[x]);
      x += n;
    }
  };
  std::vector<uint8_t> row(W);
  for (int y = 0; y < H; ++y)
    for (int p = 0; p < planes; ++p) {
      for (int x = 0; x < W; ++x)
        row[x] = planes == 1 ? Index(x, y) : p == 0 ? Red(x, y) : p == 1 ? Green(x, y) : Blue(x, y);
      run(row);
    }
  if (planes == 1) {
    f.push_back(12);
    for (int i = 0; i < 768; ++i) f.push_back(uint8_t(i * 7));
  }
  return f;
}

}  // namespace

int main() {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  host::SetWindowed(true, 320, 200);
  if (!InitHwnd() || !DxInit(640, 480, 32)) {
    std::fprintf(stderr, "set-up failed: %s\n", host::LastErrorText().c_str());
    return 1;
  }
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "velmora-load-bench";
  std::filesystem::create_directories(dir);
  struct Case {
    const char* name;
    const char* file;
    std::function<std::vector<uint8_t>()> make;
  };
  const Case cases[] = {
      {"BMP 24-bit", "p24.bmp", [] { return Bmp(24); }}, {"BMP 32-bit", "p32.bmp", [] { return Bmp(32); }},
      {"BMP 16-bit", "p16.bmp", [] { return Bmp(16); }}, {"BMP 8-bit palette", "p8.bmp", [] { return Bmp(8); }},
      {"BMP RLE8", "r8.bmp", [] { return Rle8(); }},     {"PCX 8-bit", "p8.pcx", [] { return Pcx(1); }},
      {"PCX 24-bit", "p24.pcx", [] { return Pcx(3); }}};
  std::printf("load time of a %dx%d picture (bitmap::load into a 32-bit surface)\n", W, H);
  for (const Case& c : cases) {
    std::string path = (dir / c.file).string();
    std::vector<uint8_t> bytes = c.make();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const int runs = 10;
    double total = 0;
    for (int i = 0; i < runs; ++i) {
      bitmap b;
      auto start = std::chrono::steady_clock::now();
      int ok = b.load(path.c_str());
      total += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
      if (!ok || b.width != W || b.height != H) {
        std::fprintf(stderr, "%s did not load\n", c.name);
        return 1;
      }
    }
    std::printf("%-18s %8.2f ms  (%zu bytes)\n", c.name, total / runs, bytes.size());
  }
  std::filesystem::remove_all(dir);
  DxFree();
  winapi::Shutdown();
  return 0;
}
