// Start-up as a user meets it: the whole program run to its first frame and out
// again (`velmora --fps 60 --end 0 W H 32`, offscreen, no sound device), wall
// time and peak memory, min and median of several runs per mode. The figures
// include the exit, so they bound the time to the first frame from above.
// Usage: startup_bench PATH/TO/velmora [RUNS]
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Run {
  double ms;
  long peak_kib;
};

bool Once(const char* program, const char* width, const char* height, Run& out) {
  const char* argv[] = {program, "--fps", "60", "--end", "0", width, height, "32", nullptr};
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", 1, 0);
  posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", 1, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program, &quiet, nullptr, const_cast<char**>(argv), environ);
  posix_spawn_file_actions_destroy(&quiet);
  if (spawned != 0) return false;
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
  out.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  out.peak_kib = usage.ru_maxrss;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: startup_bench PATH/TO/velmora [RUNS]\n");
    return 2;
  }
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
  const char* modes[][2] = {{"320", "200"}, {"1920", "1080"}, {"3840", "2160"}};
  std::printf("velmora to its first frame and out, %d runs each: wall ms min / median, peak memory\n", runs);
  for (auto& m : modes) {
    std::vector<double> ms;
    long peak = 0;
    for (int i = 0; i < runs; ++i) {
      Run r{};
      if (!Once(argv[1], m[0], m[1], r)) {
        std::fprintf(stderr, "startup_bench: %s did not run to its first frame at %sx%s\n", argv[1], m[0], m[1]);
        return 1;
      }
      ms.push_back(r.ms);
      peak = std::max(peak, r.peak_kib);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%5sx%-5s %7.1f / %-7.1f ms   %6.1f MB\n", m[0], m[1], ms.front(), ms[ms.size() / 2], peak / 1024.0);
  }
  return 0;
}
