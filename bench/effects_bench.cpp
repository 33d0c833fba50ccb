// Milliseconds per frame of the twirl and the bump mapping, fast path against the
// per-pixel reference: twirl and bump at 320 x 200, bump on a 1024 x 768 picture.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "effect_reference.h"
#include "efx/bump.h"
#include "efx/twirl.h"
#include "gfx/display.h"
#include "platform/runtime.h"
#include "shell/demo.h"
#include "shell/winmain.h"

namespace {

double Ms(const std::function<void()>& frame, int frames) {
  frame();  // warm-up
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < frames; ++i) frame();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / frames;
}

void WriteBmp(const std::string& path, int w, int h, const std::function<uint32_t(int, int)>& rgb) {
  const int stride = (w * 3 + 3) & ~3;
  std::vector<uint8_t> f(54 + size_t(stride) * h, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) f[at + i] = uint8_t(v >> (8 * i));
  };
  f[0] = 'B', f[1] = 'M';
  put32(2, uint32_t(f.size())), put32(10, 54), put32(14, 40), put32(18, uint32_t(w)), put32(22, uint32_t(h));
  f[26] = 1, f[28] = 24;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint32_t c = rgb(x, y);
      uint8_t* p = &f[54 + size_t(h - 1 - y) * stride + 3 * size_t(x)];
      p[0] = uint8_t(c), p[1] = uint8_t(c >> 8), p[2] = uint8_t(c >> 16);
    }
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(f.data()), std::streamsize(f.size()));
}

void Bump(int w, int h) {
  const auto dir = std::filesystem::temp_directory_path();
  const std::string colour = (dir / "velmora-bench-c.bmp").string(), height = (dir / "velmora-bench-h.bmp").string();
  WriteBmp(colour, w, h, [](int x, int y) { return uint32_t(x * 0x010203 ^ y * 0x030201) & 0xFFFFFF; });
  WriteBmp(height, w, h,
           [](int x, int y) { return uint32_t(127 + 120 * std::sin(x * 0.1) * std::cos(y * 0.13)) * 0x010101u; });
  efx_bump b;
  bitmap target;
  if (!b.create(colour.c_str(), height.c_str(), "") || !target.create(w, h)) {
    std::fprintf(stderr, "bump set-up failed\n");
    std::exit(1);
  }
  b.light_x = int16_t(w / 2 + 80), b.light_y = int16_t(h / 2);
  const int frames = w * h > 100000 ? 30 : 200;
  std::printf("bump %4dx%-4d  fast %7.3f ms   reference %7.3f ms\n", w, h, Ms([&] { b.run(target, 0); }, frames),
              Ms([&] { BumpReference(b, target); }, frames));
  std::filesystem::remove(colour);
  std::filesystem::remove(height);
}

}  // namespace

int main() {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  platform::SetWindowed(true, 320, 200);
  if (!InitHwnd() || !DxInit(320, 200, 32)) {
    std::fprintf(stderr, "set-up failed: %s\n", platform::LastErrorText().c_str());
    return 1;
  }
  InitTables();
  bitmap picture, work;
  picture.create(320, 200);
  work.create(320, 200);
  picture.lock();
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 320; ++x) picture.put_pixel(x, y, DWORD(x * 2654435761u ^ y * 40503u) & 0xFFFFFF);
  picture.unlock();
  float phase = 0;
  std::printf("milliseconds per frame, one thread\n");
  std::printf("twirl 320x200  fast %7.3f ms   reference %7.3f ms\n", Ms([&] { twirl(work, picture); }, 300),
              Ms([&] { TwirlReference(work, picture, phase); }, 300));
  Bump(320, 200);
  Bump(1024, 768);
  DxFree();
  platform::Shutdown();
  return 0;
}
