// Whether a live run shows the frames of the virtual clock at its rate: a run
// on the real screen (paced by its refresh, 60 a second where the system does
// not say) from 36 to 46 s, and one from 36 s with the viewer's keys pressed
// (Right at 38 s, Left at 45 s, Page Down at 42 s, Home at 63 s), each present's
// frame hashed and compared with the frame of that demo time in a --fps 60 run.
// Prints the share of presents that are those frames, in order, and for each key
// the time from the key to the first frame at its target. Run it on the screen
// to be judged (under Xvfb: `Xvfb :99 -screen 0 1920x1080x24`, DISPLAY=:99).
// Usage: live_frames_bench [WIDTH HEIGHT BITS]
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "gfx/2d.h"
#include "host/clock.h"
#include "host/event.h"
#include "host/frame_pump.h"
#include "host/playback.h"
#include "image/file_bytes.h"
#include "shell/demo.h"
#include "shell/frame_clock.h"
#include "shell/options.h"
#include "shell/player_keys.h"
#include "shell/run_settings.h"
#include "shell/seek.h"
#include "shell/winmain.h"
#include "winapi/gdi.h"
#include "winapi/window_extras.h"

namespace {

struct Present {
  DWORD ms;
  uint64_t hash;
  double real_ms;  // since the run began
};

uint64_t Hash(const host::PresentedFrame& f) {
  uint64_t h = 0xcbf29ce484222325ull;
  const size_t row = size_t(f.width) * size_t(f.bits_per_pixel / 8);
  for (int y = 0; y < f.height; ++y) {
    const uint8_t* p = f.pixels + size_t(y) * size_t(f.pitch);
    size_t i = 0;
    for (uint64_t w; i + 8 <= row; i += 8) {
      std::memcpy(&w, p + i, 8);
      h = (h ^ w) * 0x100000001b3ull;
    }
    for (; i < row; ++i) h = (h ^ p[i]) * 0x100000001b3ull;
  }
  return h;
}

using Clock = std::chrono::steady_clock;

// One run with `words` as its command line; `at_present` sees every present and
// returns false to end the run.
std::vector<Present> Run(const std::vector<std::string>& words, const std::function<bool(const Present&)>& at_present) {
  Options options;
  std::string problem;
  if (!ParseOptions(words, false, options, problem)) {
    std::fprintf(stderr, "live_frames_bench: %s\n", problem.c_str());
    return {};
  }
  g_bQuit = 0;
  demo::ResetTimeline();
  front.free();
  ApplyRunSettings(options);
  if (options.start_ms > 0) host::SkipTo(DWORD(options.start_ms), [] { return g_dwElapsed; });
  InstallPlayerKeys();
  std::vector<Present> shown;
  const Clock::time_point start = Clock::now();
  host::SetPresentHook([&](const host::PresentedFrame& f) {
    shown.push_back({g_dwElapsed, Hash(f), std::chrono::duration<double, std::milli>(Clock::now() - start).count()});
    if (!at_present(shown.back())) PostMessageA(hWnd, WM_CLOSE, 0, 0);
  });
  WinMain(GetModuleHandleA(nullptr), nullptr, options.command_line.data(), 10);
  host::SetPresentHook(nullptr);
  winapi::Shutdown();
  return shown;
}

// How many of `presents` are the reference's frame of their time, in order.
size_t Matching(const std::vector<Present>& presents, const std::map<DWORD, uint64_t>& reference) {
  size_t n = 0;
  DWORD last = 0;
  for (size_t i = 0; i < presents.size(); ++i) {
    const auto it = reference.find(presents[i].ms);
    if (it != reference.end() && it->second == presents[i].hash && (i == 0 || presents[i].ms > last)) ++n;
    last = presents[i].ms;
  }
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  SetDataDirectory((std::filesystem::path(argv[0]).parent_path().parent_path() / "data").string());
  std::vector<std::string> mode;
  for (int i = 1; i < argc; ++i) mode.push_back(argv[i]);
  const auto with = [&](std::vector<std::string> words) {
    words.insert(words.end(), mode.begin(), mode.end());
    return words;
  };

  std::map<DWORD, uint64_t> reference;
  Run(with({"--fps", "60", "--mute"}), [&](const Present& p) {
    reference[p.ms] = p.hash;
    return true;
  });
  std::printf("reference: %zu frames of --fps 60\n", reference.size());

  const std::vector<Present> span = Run(with({"--start", "36000"}), [](const Present& p) { return p.ms < 46000; });
  const size_t matching = Matching(span, reference);
  std::printf("live 36-46 s: %zu presents, %zu (%.1f %%) the --fps 60 frames of their time, in order; %llu skipped\n",
              span.size(), matching, span.empty() ? 0.0 : 100.0 * double(matching) / double(span.size()),
              static_cast<unsigned long long>(host::SkippedFrames()));

  struct Press {
    DWORD at_ms;
    host::Key key;
    const char* name;
    long target = -1;
    double pressed_ms = -1, first_ms = -1;
    DWORD first_frame = 0;
    size_t begin = 0, end = 0;  // the presents after it
  };
  std::vector<Press> presses{{38000, host::Key::kRight, "Right at 38 s"},
                             {45000, host::Key::kLeft, "Left at 45 s"},
                             {42000, host::Key::kPageDown, "Page Down at 42 s"},
                             {63000, host::Key::kHome, "Home at 63 s"}};
  size_t next = 0, count = 0;
  const std::vector<Present> keyed = Run(with({"--start", "36000"}), [&](const Present& p) {
    ++count;
    if (next > 0 && presses[next - 1].first_ms < 0 && long(p.ms) >= presses[next - 1].target) {
      presses[next - 1].first_ms = p.real_ms;
      presses[next - 1].first_frame = p.ms;
      presses[next - 1].begin = count - 1;
    }
    if (next > 0) presses[next - 1].end = count;
    if (next == presses.size()) return p.ms < 1500;
    Press& press = presses[next];
    if (p.ms < press.at_ms || (next > 0 && presses[next - 1].first_ms < 0)) return true;
    press.target = *SeekTargetFor(press.key, p.ms);
    press.pressed_ms = p.real_ms;
    ++next;
    host::Event e;
    e.type = host::EventType::kKey;
    e.key = press.key;
    e.down = true;
    host::DeliverEvent(e);
    return true;
  });
  for (const Press& p : presses) {
    const std::vector<Present> after(keyed.begin() + long(std::min(p.begin, keyed.size())),
                                     keyed.begin() + long(std::min(p.end, keyed.size())));
    std::printf(
        "%-18s to %6ld ms: first frame %6lu ms after %5.0f ms; %zu of %zu presents after it the --fps 60 frames\n",
        p.name, p.target, static_cast<unsigned long>(p.first_frame), p.first_ms - p.pressed_ms,
        Matching(after, reference), after.size());
  }
  return 0;
}
