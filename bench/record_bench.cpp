// How much faster than real time the whole demo records, at 60 fps: (a) the demo
// on the virtual clock with the frames scaled and converted for the encoder but
// not encoded, (b) the full recording with the default settings, to a .mkv.
// Prints min and median of the rounds as "x real time".
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "host/audio_mixer.h"
#include "host/clock.h"
#include "host/frame_pump.h"
#include "host/settings.h"
#include "image/file_bytes.h"
#include "recorder/recording.h"
#include "shell/frame_clock.h"
#include "shell/winmain.h"
#include "winapi/gdi.h"
#include "winapi/window_extras.h"

namespace {

double RecordOnce(const char* mode, bool encode) {
  host::UseVirtualClock(60);
  recorder::Recording recording;
  recorder::Recording::Request request;
  request.path = (std::filesystem::temp_directory_path() / "velmora-record-bench.mkv").string();
  request.encode = encode;
  std::string error;
  if (!recording.Prepare(request, error)) {
    std::fprintf(stderr, "record_bench: %s\n", error.c_str());
    std::exit(1);
  }
  host::audio::UsePullMode(recorder::Recording::kSampleRate);
  host::SetPresentToWindow(false);
  host::SetPresentHook([&](const host::PresentedFrame& f) { recording.AddFrame(f, g_dwElapsed); });
  std::string words = mode;
  const auto start = std::chrono::steady_clock::now();
  WinMain(GetModuleHandleA(nullptr), nullptr, words.data(), 10);
  recording.Finish();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  host::SetPresentHook(nullptr);
  winapi::Shutdown();
  std::filesystem::remove(request.path);
  g_bQuit = 0;
  return recording.Seconds() / seconds;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const std::filesystem::path data = std::filesystem::path(argv[0]).parent_path().parent_path() / "data";
  SetDataDirectory(data.string());
  struct Case {
    const char* name;
    const char* mode;
    bool encode;
  };
  const Case cases[] = {{"(a) 320x200 -> 1440x1080, convert only", "320 200 32", false},
                        {"(a) 1920x1080, convert only", "1920 1080 32", false},
                        {"(b) 320x200 -> 1440x1080, H.264 superfast crf 18 + FLAC", "320 200 32", true},
                        {"(b) 1920x1080, H.264 superfast crf 18 + FLAC", "1920 1080 32", true}};
  const int only = argc > 2 ? std::atoi(argv[2]) : -1;  // one case, by its number from 0
  for (int i = 0; i < 4; ++i) {
    if (only >= 0 && i != only) continue;
    const Case& c = cases[i];
    std::vector<double> x;
    for (int r = 0; r < rounds; ++r) {
      // Each run in a process of its own: the demo's state is program-wide.
      int fds[2];
      if (pipe(fds) != 0) return 1;
      const pid_t child = fork();
      if (child == 0) {
        close(fds[0]);
        const double v = RecordOnce(c.mode, c.encode);
        if (write(fds[1], &v, sizeof v) != sizeof v) _exit(1);
        _exit(0);
      }
      close(fds[1]);
      double v = 0;
      if (read(fds[0], &v, sizeof v) != sizeof v) v = 0;
      close(fds[0]);
      waitpid(child, nullptr, 0);
      x.push_back(v);
    }
    std::sort(x.begin(), x.end());
    std::printf("%-56s min %5.2fx  median %5.2fx real time\n", c.name, x.front(), x[x.size() / 2]);
    std::fflush(stdout);
  }
  return 0;
}
