// Milliseconds per frame of the twirl and the bump mapping, fast path against the
// per-pixel reference: twirl and bump at 320 x 200, bump on a 1024 x 768 picture;
// and every part's whole frame at 320 x 200 and 1920 x 1080 as the driver draws and presents it
// (run from the build directory: it reads data/). Min and median of interleaved
// rounds. Usage: effects_bench [ROUNDS [ONLY]], ONLY naming the one line to measure
// (say "bump 1024"), so that a profiler sees nothing else.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "effect_reference.h"
#include "efx/bump.h"
#include "efx/trig_tables.h"
#include "efx/twirl.h"
#include "gfx/display.h"
#include "host/last_error.h"
#include "host/picture_geometry.h"
#include "host/settings.h"
#include "image/bmp_writer.h"
#include "image/file_bytes.h"
#include "shell/demo_parts.h"
#include "shell/timeline.h"
#include "shell/winmain.h"
#include "winapi/window_extras.h"

namespace {

int g_rounds = 7;
const char* g_only = nullptr;

bool Wanted(const char* what) { return !g_only || std::strstr(what, g_only); }

double Ms(const std::function<void()>& frame, int frames) {
  frame();  // warm-up
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < frames; ++i) frame();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / frames;
}

// Rounds of `a` and `b` taken in turn; prints min and median of each and the
// ratio of the mins.
void Compare(const char* what, const std::function<void()>& a, const std::function<void()>& b, int frames) {
  if (!Wanted(what)) return;
  std::vector<double> ta, tb;
  for (int r = 0; r < g_rounds; ++r) {
    ta.push_back(Ms(a, frames));
    tb.push_back(Ms(b, frames));
  }
  std::sort(ta.begin(), ta.end());
  std::sort(tb.begin(), tb.end());
  std::printf("%-16s fast %.3f / %.3f ms   reference %.3f / %.3f ms   %.1fx\n", what, ta[0], ta[ta.size() / 2], tb[0],
              tb[tb.size() / 2], tb[0] / ta[0]);
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
  const int frames = w * h > 100000 ? 20 : 100;
  char what[32];
  std::snprintf(what, sizeof what, "bump %dx%d", w, h);
  Compare(
      what, [&] { b.run(target, 0); }, [&] { BumpReference(b, target); }, frames);
  std::filesystem::remove(colour);
  std::filesystem::remove(height);
}

// Each part's frame as the driver makes it at the given mode: drawn into front,
// copied to the screen and presented in a window of the mode's size.
void WholeFrames(int width, int height) {
  host::SetWindowed(true, width, height);
  // Square pixels, so that the window shows the mode one for one at every size
  // (320 x 200 at 4:3 would be scaled): the figure is the part's drawing and one
  // copy onto the screen.
  host::SetPictureRules(host::Aspect::kSquare, host::Scale::kFit);
  if (!InitHwnd() || !DxInit(DWORD(width), DWORD(height), 32) || !front.create(width, height)) {
    std::fprintf(stderr, "set-up failed at %dx%d: %s\n", width, height, host::LastErrorText().c_str());
    std::exit(1);
  }
  {
    DemoParts parts;
    LoadParts(parts, DWORD(width), DWORD(height));
    const struct {
      int part;
      const char* name;
    } list[] = {{kPartBios, "power-on"},
                {kPartSlide, "slide"},
                {kPartTwirl, "twirl"},
                {kPartBump, "bump"},
                {kPartCola, "bottle"}};
    std::printf("whole frame at %dx%d, presentation included (min / median ms)\n", width, height);
    for (auto& p : list) {
      if (!Wanted(p.name)) continue;
      std::vector<double> t;
      for (int r = 0; r < g_rounds; ++r)
        t.push_back(Ms(
            [&] {
              UpdatePart(p.part, parts);
              DrawPart(p.part, parts, front);
              front.blit(primary, nullptr, nullptr);
              if (p.part == kPartCola) front.clear(0);
            },
            width * height > 100000 ? 40 : 200));
      std::sort(t.begin(), t.end());
      std::printf("  %-10s %.3f / %.3f ms\n", p.name, t[0], t[t.size() / 2]);
    }
  }
  front.free();
  DxFree();
  winapi::Shutdown();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) g_rounds = std::max(1, std::atoi(argv[1]));
  if (argc > 2) g_only = argv[2];
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  host::SetWindowed(true, 320, 200);
  if (!InitHwnd() || !DxInit(320, 200, 32) || !front.create(320, 200)) {
    std::fprintf(stderr, "set-up failed: %s\n", host::LastErrorText().c_str());
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
  std::printf("milliseconds per frame, one thread, %d rounds (min / median)\n", g_rounds);
  Compare(
      "twirl 320x200", [&] { twirl(work, picture); }, [&] { TwirlReference(work, picture, phase); }, 100);
  Bump(320, 200);
  Bump(1024, 768);
  picture.free();
  work.free();
  front.free();
  DxFree();
  winapi::Shutdown();
  SetDataDirectory("data");
  WholeFrames(320, 200);
  WholeFrames(1920, 1080);
  return 0;
}
