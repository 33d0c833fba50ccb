// Milliseconds per frame of presenting the screen surface in a window of a
// desktop's size, for each filter and renderer, against one memcpy of a frame
// of the window's size measured in the same rounds. Uses the video driver SDL
// picks (x11 under Xvfb or a desktop; set SDL_VIDEODRIVER=offscreen for none).
// Usage: presentation_bench [ROUNDS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gfx/2d.h"
#include "gfx/display.h"
#include "host/last_error.h"
#include "host/settings.h"
#include "host/window_presenter.h"
#include "min_median.h"
#include "shell/winmain.h"
#include "winapi/window_extras.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Case {
  int mode_w, mode_h, screen_w, screen_h;
  host::Filter filter;
  host::Renderer renderer;
};

const char* Name(host::Filter f) {
  return f == host::Filter::kNearest ? "nearest" : f == host::Filter::kSharp ? "sharp" : "linear";
}

// One round of `frames` presentations; -1 when the renderer asked for is not
// what presents (no GPU here).
double Round(const Case& c, int frames) {
  host::SetWindowed(true, c.screen_w, c.screen_h);
  host::SetPresentation(c.filter, c.renderer, false);
  if (!InitHwnd() || !DxInit(DWORD(c.mode_w), DWORD(c.mode_h), 32) || !front.create(c.mode_w, c.mode_h)) {
    std::fprintf(stderr, "presentation_bench: set-up failed: %s\n", host::LastErrorText().c_str());
    std::exit(1);
  }
  front.lock();
  for (int y = 0; y < c.mode_h; ++y)
    for (int x = 0; x < c.mode_w; ++x) front.put_pixel(x, y, DWORD(x * 2654435761u ^ y * 40503u));
  front.unlock();
  front.blit(primary, nullptr, nullptr);  // warm-up: the renderer is chosen here
  double ms = -1;
  if ((c.renderer == host::Renderer::kGpu) == host::PresentingOnGpu()) {
    const Clock::time_point t = Clock::now();
    for (int i = 0; i < frames; ++i) front.blit(primary, nullptr, nullptr);
    ms = std::chrono::duration<double, std::milli>(Clock::now() - t).count() / frames;
  }
  front.free();
  DxFree();
  winapi::Shutdown();
  return ms;
}

double Anchor(int w, int h, int frames) {
  static std::vector<uint8_t> from, to;
  from.assign(size_t(w) * h * 4, 1);
  to.resize(from.size());
  const Clock::time_point t = Clock::now();
  for (int i = 0; i < frames; ++i) {
    from[size_t(i)] = uint8_t(i);
    std::memcpy(to.data(), from.data(), from.size());
  }
  return std::chrono::duration<double, std::milli>(Clock::now() - t).count() / frames;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  std::printf("presentation per frame (front -> primary -> window), 32 bits, vsync off, %d rounds\n", rounds);
  std::printf("%-9s %-10s %-8s %-4s %22s %22s %7s\n", "mode", "screen", "filter", "on", "ms min / median",
              "memcpy anchor min/med", "ratio");
  const int modes[][2] = {{320, 200}, {1920, 1080}};
  const int screens[][2] = {{1920, 1080}, {3840, 2160}};
  for (auto& m : modes)
    for (auto& s : screens)
      for (host::Renderer r : {host::Renderer::kCpu, host::Renderer::kGpu})
        for (host::Filter f : {host::Filter::kNearest, host::Filter::kSharp, host::Filter::kLinear}) {
          const Case c{m[0], m[1], s[0], s[1], f, r};
          const int frames = s[0] > 2000 ? 20 : 60;
          std::vector<double> took, anchor;
          for (int i = 0; i < rounds; ++i) {
            took.push_back(Round(c, frames));
            anchor.push_back(Anchor(s[0], s[1], frames));
          }
          const char* on = r == host::Renderer::kGpu ? "gpu" : "cpu";
          if (took.front() < 0) {
            std::printf("%4dx%-4d %4dx%-5d %-8s %-4s %22s\n", m[0], m[1], s[0], s[1], Name(f), on, "not available");
            continue;
          }
          auto [t_min, t_med] = MinMedianOf(took);
          auto [a_min, a_med] = MinMedianOf(anchor);
          std::printf("%4dx%-4d %4dx%-5d %-8s %-4s %10.3f / %-9.3f %10.3f / %-9.3f %6.1fx\n", m[0], m[1], s[0], s[1],
                      Name(f), on, t_min, t_med, a_min, a_med, t_min / a_min);
        }
  return 0;
}
