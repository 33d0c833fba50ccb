// What the live console adds to a frame: drawn over the top half of the picture
// and put back, with a window full of log lines, against one memcpy of the
// frame measured in the same rounds. Usage: console_bench [ROUNDS]
// Run from the build directory (it reads data/).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/2d.h"
#include "gfx/display.h"
#include "host/last_error.h"
#include "host/settings.h"
#include "image/file_bytes.h"
#include "shell/live_console.h"
#include "shell/winmain.h"
#include "text/bmpfont.h"
#include "winapi/window_extras.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point since, int frames) {
  return std::chrono::duration<double, std::milli>(Clock::now() - since).count() / frames;
}

struct Figures {
  std::vector<double> console, memcpy_anchor;
};

void Report(const char* what, std::vector<double> v) {
  std::sort(v.begin(), v.end());
  std::printf("  %-28s min %.4f ms  median %.4f ms\n", what, v.front(), v[v.size() / 2]);
}

}  // namespace

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
  SetDataDirectory("data");
  const int modes[][2] = {{320, 200}, {640, 480}};
  for (auto& m : modes) {
    host::SetWindowed(true, m[0], m[1]);
    if (!InitHwnd() || !DxInit(DWORD(m[0]), DWORD(m[1]), 32) || !front.create(m[0], m[1])) {
      std::fprintf(stderr, "console_bench: set-up failed: %s\n", host::LastErrorText().c_str());
      return 1;
    }
    LiveConsole console;
    console.Open();
    console.DrawOver(front);  // lays the window out
    console.Restore(front);
    if (console.Columns() == 0) {
      std::fprintf(stderr, "console_bench: no console (is data/ here?)\n");
      return 1;
    }
    // A window full of long lines, as during start-up.
    for (int i = 0; i < 200; ++i)
      console.Log("efect", "efx_bump " + std::to_string(94828958507208 + i) + " run(94828958508016)...");
    std::vector<uint8_t> from(size_t(m[0]) * m[1] * 4, 7), to(from.size());
    Figures f;
    const int frames = 400;
    for (int r = 0; r < rounds; ++r) {
      Clock::time_point t = Clock::now();
      for (int i = 0; i < frames; ++i) {
        console.DrawOver(front);
        console.Restore(front);
      }
      f.console.push_back(Ms(t, frames));
      t = Clock::now();
      for (int i = 0; i < frames; ++i) {
        from[size_t(i) % from.size()] = uint8_t(i);
        std::memcpy(to.data(), from.data(), from.size());
      }
      f.memcpy_anchor.push_back(Ms(t, frames));
    }
    std::printf("%dx%d, 32 bits, %d x %d characters, %d rounds of %d frames\n", m[0], m[1], console.Columns(),
                console.Rows(), rounds, frames);
    Report("console drawn and put back", f.console);
    Report("anchor: memcpy of the frame", f.memcpy_anchor);
    console.Free();
    FreeFonts();
    front.free();
    DxFree();
    winapi::Shutdown();
  }
  return 0;
}
