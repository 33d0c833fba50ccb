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
#include "efx/trig_tables.h"
#include "efx/twirl.h"
#include "gfx/display.h"
#include "image/bmp_writer.h"
#include "platform/runtime.h"
#include "shell/winmain.h"

namespace {

double Ms(const std::function<void()>& frame, int frames) {
  frame();  // warm-up
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < frames; ++i) frame();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / frames;
}

void Bump(int w, int h) {
  const auto dir = std::filesystem::temp_directory_path();
  const std::string colour = (dir / "velmora-bench-c.bmp").string(), height = (dir / "velmora-bench-h.bmp").string();
  WriteBmp24(colour, w, h, [](int x, int y) { return uint32_t(x * 0x010203 ^ y * 0x030201) & 0xFFFFFF; });
  WriteBmp24(height, w, h,
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
