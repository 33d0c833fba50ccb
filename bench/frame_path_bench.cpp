// Milliseconds per frame of the whole frame path: the copy of `front` onto
// `primary` and the presentation in the window, on SDL's offscreen driver.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "gfx/2d.h"
#include "gfx/display.h"
#include "platform/runtime.h"
#include "shell/winmain.h"

namespace {

double MillisecondsPerFrame(int width, int height, bool windowed) {
  platform::SetWindowed(windowed, width, height);
  if (!InitHwnd() || !DxInit(width, height, 32) || !front.create(width, height)) {
    std::fprintf(stderr, "set-up failed at %dx%d: %s\n", width, height, platform::LastErrorText().c_str());
    std::exit(1);
  }
  front.lock();
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) front.put_pixel(x, y, static_cast<DWORD>(x * 2654435761u ^ y));
  front.unlock();
  const int frames = width * height > 2000000 ? 60 : 200;
  front.blit(primary, nullptr, nullptr);  // warm-up
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < frames; ++i) front.blit(primary, nullptr, nullptr);
  double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / frames;
  front.free();
  DxFree();
  platform::Shutdown();
  return ms;
}

}  // namespace

int main() {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  std::printf("frame path (front -> primary -> window), 32 bits per pixel, one thread\n");
  std::printf("%-12s %22s %26s\n", "mode", "window of mode size", "full screen 1024x768 desktop");
  const int modes[][2] = {{320, 200}, {640, 480}, {1920, 1080}, {3840, 2160}};
  for (auto& m : modes) {
    double same = MillisecondsPerFrame(m[0], m[1], true);
    double scaled = MillisecondsPerFrame(m[0], m[1], false);
    std::printf("%4dx%-7d %19.3f ms %23.3f ms\n", m[0], m[1], same, scaled);
  }
  return 0;
}
