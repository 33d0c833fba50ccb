// How long a move on the timeline takes, from the request to the first frame at
// its target on the screen, back (100 s to 40 s) and forward (40 s to 100 s),
// at 320 x 200, 1920 x 1080 and 3840 x 2160 in 32 bits, against an anchor
// measured in the same rounds: one memcpy of the frame. And the memory a run
// holds after its moves beyond what it held before them. Min and median of
// interleaved rounds; the demo runs in this process on a virtual clock of 60
// frames a second, in a window of SDL's offscreen driver.
// Usage: seek_bench [ROUNDS] [WxH ...]
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_sizes.h"
#include "gfx/2d.h"
#include "host/clock.h"
#include "host/frame_pump.h"
#include "host/playback.h"
#include "host/settings.h"
#include "image/file_bytes.h"
#include "min_median.h"
#include "shell/demo.h"
#include "shell/frame_clock.h"
#include "shell/seek.h"
#include "shell/winmain.h"
#include "winapi/gdi.h"
#include "winapi/window_extras.h"

namespace {

using Clock = std::chrono::steady_clock;
double MsSince(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

// What the heap holds in use, in KiB: freed blocks the allocator keeps are not
// the moves' memory.
long HeapInUseKiB() {
  const struct mallinfo2 info = mallinfo2();
  return long((info.uordblks + info.hblkhd) / 1024);
}

struct Moves {
  double forward_ms = -1, back_ms = -1;
  long first_kib = 0, again_kib = 0;
};

// One run: starts at 99 s and plays a second (every surface has been drawn
// over by then), moves back to 40 s, plays a second, moves forward to 100 s,
// plays half a second more; then the same moves again, and ends. The memory
// held is the heap's growth over the first round of moves (which includes what
// a part makes once, the first time it is drawn: the twirl's geometry) and
// over the second.
Moves MovesOfOneRun(int width, int height) {
  host::UseVirtualClock(60);
  host::SetWindowed(true, width, height);
  g_bQuit = 0;
  demo::ResetTimeline();
  front.free();  // each run makes its own
  host::SkipTo(99000, [] { return g_dwElapsed; });
  Moves m;
  enum { kPlay, kBack, kPlayOn, kForward, kToEnd } stage = kPlay;
  Clock::time_point asked;
  long before = 0;
  int round = 0;
  host::SetPresentHook([&](const host::PresentedFrame&) {
    const DWORD t = g_dwElapsed;
    if (stage == kPlay && t >= 100000) {
      before = HeapInUseKiB();
      RequestSeek(40000);
      asked = Clock::now();
      stage = kBack;
    } else if (stage == kBack && t >= 40000 && t < 41000) {
      m.back_ms = MsSince(asked);
      stage = kPlayOn;
    } else if (stage == kPlayOn && t >= 41000) {
      RequestSeek(100000);
      asked = Clock::now();
      stage = kForward;
    } else if (stage == kForward && t >= 100000) {
      m.forward_ms = MsSince(asked);
      stage = kToEnd;
    } else if (stage == kToEnd && t >= 100500) {
      const long now = HeapInUseKiB();
      (round == 0 ? m.first_kib : m.again_kib) = now - before;
      if (round++ == 1) return void(PostMessageA(hWnd, WM_CLOSE, 0, 0));
      before = now;
      RequestSeek(40000);
      asked = Clock::now();
      stage = kBack;
    }
  });
  const std::string words = std::to_string(width) + " " + std::to_string(height) + " 32";
  std::string line = words;
  const int rc = WinMain(GetModuleHandleA(nullptr), nullptr, line.data(), 10);
  if (rc != 0) m.forward_ms = m.back_ms = -1;
  host::SetPresentHook(nullptr);
  winapi::Shutdown();
  return m;
}

double MemcpyMs(int width, int height) {
  static std::vector<uint8_t> from, to;
  from.assign(size_t(width) * height * 4, 7);
  to.assign(from.size(), 0);
  const Clock::time_point start = Clock::now();
  std::memcpy(to.data(), from.data(), from.size());
  const double ms = MsSince(start);
  return to[to.size() / 2] == 7 ? ms : -1;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  std::vector<std::pair<int, int>> sizes;
  if (!ReadSizes(argc, argv, 2, "seek_bench", sizes)) return 2;
  if (sizes.empty()) sizes = {{320, 200}, {1920, 1080}, {3840, 2160}};
  SetDataDirectory((std::filesystem::path(argv[0]).parent_path().parent_path() / "data").string());
  host::SetPresentToWindow(true);
  std::printf("moves on the timeline, ms from the request to the frame at the target, %d rounds\n", rounds);
  std::printf("%-10s %20s %20s %18s %10s %16s\n", "mode", "forward min/med", "back min/med", "memcpy min/med",
              "fwd/copy", "held KiB 1st/2nd");
  int failures = 0;
  for (auto [width, height] : sizes) {
    std::vector<double> forward, back, copy;
    long first = 0, again = 0;
    for (int r = 0; r < rounds; ++r) {
      copy.push_back(MemcpyMs(width, height));
      const Moves m = MovesOfOneRun(width, height);
      if (m.forward_ms < 0 || m.back_ms < 0) {
        std::printf("%4dx%-5d failed\n", width, height);
        ++failures;
        break;
      }
      forward.push_back(m.forward_ms);
      back.push_back(m.back_ms);
      first = std::max(first, m.first_kib);
      again = std::max(again, m.again_kib);
    }
    if (forward.empty()) continue;
    const MinMedian f = MinMedianOf(forward), b = MinMedianOf(back), c = MinMedianOf(copy);
    std::printf("%4dx%-5d %9.1f / %-8.1f %9.1f / %-8.1f %8.2f / %-7.2f %9.0fx %8ld / %-6ld\n", width, height, f.min,
                f.median, b.min, b.median, c.min, c.median, f.min / c.min, first, again);
  }
  return failures ? 1 : 0;
}
