// CPU time per frame of whole deterministic runs (`velmora --mute --fps 60 W H 32`,
// full screen, the 106 s timeline), against an anchor measured in the same rounds
// under the same video driver: one memcpy of the frame into SDL's own window
// surface plus its update, as CPU time of this process. Both are user + system
// time, so a display server's own work is in neither. Min and median of
// interleaved rounds, and the largest peak resident memory of the runs.
//
// The run needs a screen of exactly the mode's size, so that full screen is the
// mode one for one (under Xvfb: `Xvfb :99 -screen 0 3840x2160x24`). Sizes whose
// screen does not match are skipped with a note.
// Usage: whole_run_bench PATH/TO/velmora [ROUNDS] [WxH ...]
#include <SDL.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "bench_sizes.h"
#include "min_median.h"
#include "shell/timeline.h"

extern char** environ;

namespace {

constexpr int kFps = 60;
constexpr double kRunFrames = double(kDemoEndMs) * kFps / 1000;

double Seconds(const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; }

double ProcessCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// CPU milliseconds per frame of one whole run, negative when it failed, and its
// peak resident memory.
double WholeRun(const char* program, int width, int height, long& peak_kib) {
  const std::string w = std::to_string(width), h = std::to_string(height);
  const char* argv[] = {program, "--mute", "--fps", "60", w.c_str(), h.c_str(), "32", nullptr};
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", 1, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program, &quiet, nullptr, const_cast<char**>(argv), environ);
  posix_spawn_file_actions_destroy(&quiet);
  if (spawned != 0) return -1;
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  peak_kib = usage.ru_maxrss;
  return (Seconds(usage.ru_utime) + Seconds(usage.ru_stime)) * 1e3 / kRunFrames;
}

// CPU milliseconds per frame of the anchor: a memcpy of the frame into the window
// surface of a window of the mode's size, then the window's update.
double Anchor(int width, int height, int frames) {
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return -1;
  SDL_Window* w = SDL_CreateWindow("", 0, 0, width, height, SDL_WINDOW_FULLSCREEN);
  SDL_Surface* s = w ? SDL_GetWindowSurface(w) : nullptr;
  double ms = -1;
  if (s && s->w == width && s->h == height) {
    std::vector<uint8_t> from(size_t(s->pitch) * height, 5);
    SDL_UpdateWindowSurface(w);
    const double start = ProcessCpuMs();
    for (int i = 0; i < frames; ++i) {
      from[size_t(i)] = uint8_t(i);
      std::memcpy(s->pixels, from.data(), from.size());
      SDL_UpdateWindowSurface(w);
    }
    ms = (ProcessCpuMs() - start) / frames;
  }
  if (w) SDL_DestroyWindow(w);
  SDL_Quit();
  return ms;
}

bool ScreenIs(int width, int height) {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return false;
  SDL_DisplayMode mode{};
  const bool same = SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w == width && mode.h == height;
  SDL_Quit();
  return same;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: whole_run_bench PATH/TO/velmora [ROUNDS] [WxH ...]\n");
    return 2;
  }
  const char* program = argv[1];
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  std::vector<std::pair<int, int>> sizes;
  if (!ReadSizes(argc, argv, 3, "whole_run_bench", sizes)) return 2;
  if (sizes.empty()) sizes = {{1920, 1080}, {3840, 2160}};
  const char* driver = std::getenv("SDL_VIDEODRIVER");
  std::printf("whole runs (--mute --fps 60, %.0f frames), CPU ms per frame, %d rounds, video driver %s\n", kRunFrames,
              rounds, driver ? driver : "(SDL's choice)");
  std::printf("%-10s %20s %22s %8s %14s\n", "mode", "run min/med", "anchor min/med", "ratio", "peak MB (max)");
  int failures = 0;
  for (auto [width, height] : sizes) {
    if (!ScreenIs(width, height)) {
      std::printf("%4dx%-5d skipped: needs a screen of that size (Xvfb -screen 0 %dx%dx24)\n", width, height, width,
                  height);
      continue;
    }
    const int frames = width * height > 2000000 ? 60 : 300;
    std::vector<double> run, anchor;
    long peak_kib = 0;
    for (int r = 0; r < rounds; ++r) {
      long peak = 0;
      const double a = Anchor(width, height, frames), v = WholeRun(program, width, height, peak);
      peak_kib = std::max(peak_kib, peak);
      if (a < 0 || v < 0) {
        std::printf("%4dx%-5d failed: %s\n", width, height, a < 0 ? SDL_GetError() : "the run did not end with 0");
        ++failures;
        break;
      }
      anchor.push_back(a);
      run.push_back(v);
    }
    if (run.empty()) continue;
    const MinMedian rm = MinMedianOf(run), am = MinMedianOf(anchor);
    std::printf("%4dx%-5d %9.3f / %-8.3f %10.3f / %-9.3f %6.2fx %14.1f\n", width, height, rm.min, rm.median, am.min,
                am.median, rm.min / am.min, double(peak_kib) / 1024);
  }
  return failures ? 1 : 0;
}
