// Milliseconds per frame of the whole frame path (the copy of `front` onto
// `primary` and the presentation in a window of the mode's size, on SDL's
// offscreen driver), against two anchors measured in the same rounds: one memcpy
// of the frame, and one memcpy into SDL's own window surface plus its update.
// Min and median of interleaved rounds. Usage: frame_path_bench [ROUNDS]
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gfx/2d.h"
#include "gfx/display.h"
#include "host/last_error.h"
#include "host/picture_geometry.h"
#include "host/settings.h"
#include "min_median.h"
#include "shell/winmain.h"
#include "winapi/window_extras.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point t, int frames) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t).count() / frames;
}

double VelmoraFramePath(int width, int height, int frames) {
  host::SetWindowed(true, width, height);
  // Square pixels: the window shows every mode one for one (320 x 200 at 4:3
  // would be scaled, which is not the path measured here).
  host::SetPictureRules(host::Aspect::kSquare, host::Scale::kFit);
  if (!InitHwnd() || !DxInit(DWORD(width), DWORD(height), 32) || !front.create(width, height)) {
    std::fprintf(stderr, "set-up failed at %dx%d: %s\n", width, height, host::LastErrorText().c_str());
    std::exit(1);
  }
  front.lock();
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) front.put_pixel(x, y, static_cast<DWORD>(x * 2654435761u ^ y));
  front.unlock();
  front.blit(primary, nullptr, nullptr);  // warm-up
  const Clock::time_point t = Clock::now();
  for (int i = 0; i < frames; ++i) front.blit(primary, nullptr, nullptr);
  const double ms = Since(t, frames);
  front.free();
  DxFree();
  winapi::Shutdown();
  return ms;
}

double Memcpy(int width, int height, int frames) {
  std::vector<uint8_t> from(size_t(width) * height * 4, 3), to(from.size());
  const Clock::time_point t = Clock::now();
  for (int i = 0; i < frames; ++i) {
    from[size_t(i)] = uint8_t(i);
    std::memcpy(to.data(), from.data(), from.size());
  }
  return Since(t, frames);
}

// What a port that draws straight into SDL's window surface pays at least.
double MemcpyIntoWindowSurface(int width, int height, int frames) {
  // As the platform layer does: the window's own surface, not a texture behind it.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_Init(SDL_INIT_VIDEO);
  SDL_Window* w = SDL_CreateWindow("", 0, 0, width, height, 0);
  SDL_Surface* s = w ? SDL_GetWindowSurface(w) : nullptr;
  if (!s) {
    std::fprintf(stderr, "no window surface: %s\n", SDL_GetError());
    std::exit(1);
  }
  std::vector<uint8_t> from(size_t(s->pitch) * height, 5);
  SDL_UpdateWindowSurface(w);
  const Clock::time_point t = Clock::now();
  for (int i = 0; i < frames; ++i) {
    from[size_t(i)] = uint8_t(i);
    std::memcpy(s->pixels, from.data(), from.size());
    SDL_UpdateWindowSurface(w);
  }
  const double ms = Since(t, frames);
  SDL_DestroyWindow(w);
  SDL_Quit();
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  std::printf("frame path (front -> primary -> window of the mode's size), 32 bits, one thread, %d rounds\n", rounds);
  std::printf("%-10s %20s %20s %24s %8s\n", "mode", "velmora min/med ms", "memcpy min/med", "into window min/med",
              "ratio");
  const int modes[][2] = {{320, 200}, {640, 480}, {1920, 1080}, {3840, 2160}};
  for (auto& m : modes) {
    const int frames = m[0] * m[1] > 2000000 ? 30 : m[0] * m[1] > 500000 ? 100 : 400;
    std::vector<double> v, a, b;
    for (int r = 0; r < rounds; ++r) {
      v.push_back(VelmoraFramePath(m[0], m[1], frames));
      a.push_back(Memcpy(m[0], m[1], frames));
      b.push_back(MemcpyIntoWindowSurface(m[0], m[1], frames));
    }
    const MinMedian vm = MinMedianOf(v), am = MinMedianOf(a), bm = MinMedianOf(b);
    std::printf("%4dx%-5d %9.3f / %-8.3f %9.3f / %-8.3f %11.3f / %-10.3f %6.2fx\n", m[0], m[1], vm.min, vm.median,
                am.min, am.median, bm.min, bm.median, vm.min / bm.min);
  }
  return 0;
}
