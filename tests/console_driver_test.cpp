// The console inside the real driver on the virtual clock: goto replays the
// timeline frame-exactly, and an open console is shown over the window and
// leaves the demo's own pictures as they were.
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "host/clock.h"
#include "host/event.h"
#include "host/frame_pump.h"
#include "host/sdl_window.h"
#include "host/settings.h"
#include "host/window_overlay.h"
#include "image/file_bytes.h"
#include "shell/demo.h"
#include "shell/frame_clock.h"
#include "shell/live_console.h"
#include "shell/player_keys.h"
#include "shell/seek.h"
#include "shell/startup_failure.h"
#include "support.h"
#include "winapi/gdi.h"
#include "winapi/internal.h"
#include "winapi/window_extras.h"

namespace {

using Frame = std::vector<uint8_t>;

class ConsoleDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    host::SetWindowed(true, 320, 200);
    SetDataDirectory(test::DataPath("").string());
    host::UseVirtualClock(60);
  }
  void TearDown() override {
    host::SetPresentHook(nullptr);
    winapi::Shutdown();
    SetDataDirectory("");
  }
  // Runs the demo, calling `at_frame` before each presented frame's pixels are
  // kept, and returns the frames presented at the demo times asked for; it ends
  // after the last of them unless `to_its_end`.
  std::map<DWORD, Frame> Run(const std::vector<DWORD>& times, const std::function<void(uint64_t)>& at_frame,
                             bool to_its_end = false) {
    test::ResetDriverState();  // each run starts as a fresh process does
    host::UseVirtualClock(fps_);
    std::map<DWORD, Frame> kept;
    uint64_t presents = 0;
    host::SetPresentHook([&](const host::PresentedFrame& f) {
      at_frame(++presents);
      for (DWORD t : times)
        if (g_dwElapsed == t) kept[t] = Frame(f.pixels, f.pixels + size_t(f.pitch) * size_t(f.height));
      if (g_dwElapsed >= times.back() && !to_its_end) PostMessageA(hWnd, WM_CLOSE, 0, 0);
    });
    std::string words;
    EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, words.data(), 10), 0);
    EXPECT_EQ(FirstStartupFailure(), "");
    if (!to_its_end) {
      EXPECT_GE(g_dwElapsed, times.back());
    }
    host::SetPresentHook(nullptr);
    winapi::Shutdown();
    return kept;
  }
  // The virtual clock's frames a second; fewer make a run cheaper, and any
  // rate's frames must equal the same rate's.
  unsigned fps_ = 60;
};

// The console's goto and the viewer's keys go the same way: forward by a tenth
// of the demo, to the next part, forward and back by goto, back 5 s, forward to
// 80 %, and past the end. At 20 frames a second every target but the part's
// start falls on the frames' grid.
TEST_F(ConsoleDriverTest, GotoAndTheSeekKeysShowTheFramesOfAWholeRun) {
  fps_ = 20;
  const std::vector<DWORD> times{40000, 63000, 90000};
  const std::map<DWORD, Frame> whole = Run(times, [](uint64_t) {});
  ASSERT_EQ(whole.size(), 3u);
  InstallPlayerKeys();
  const struct {
    DWORD after_ms;
    host::Key key;  // or, when none, the console command
    const char* command;
    DWORD target;  // the first frame shown after it is the first at or after this
  } moves[] = {{1000, host::KeyAfter(host::Key::k1, 2), nullptr, 31800},  // 30 %
               {33000, host::Key::kPageDown, nullptr, 36001},             // the twirl's start
               {37000, host::Key::kNone, "goto 38000", 38000},
               {39500, host::Key::kNone, "goto 39000", 39000},
               {41000, host::Key::kLeft, nullptr, 36000},                  // 40000 comes again
               {64000, host::KeyAfter(host::Key::k1, 7), nullptr, 84800},  // 80 %
               {92000, host::Key::kPageDown, nullptr, 0}};                 // past the bottle: the end
  size_t next = 0;
  DWORD last = 0;
  std::vector<DWORD> first_after;
  size_t with_bar = 0;  // frames shown with the timeline bar over them, never in them
  const std::map<DWORD, Frame> moved = Run(
      times,
      [&](uint64_t) {
        last = g_dwElapsed;
        if (host::CurrentOverlay(host::OverlaySlot::kTimeline)) ++with_bar;
        if (first_after.size() < next) first_after.push_back(g_dwElapsed);
        if (next == std::size(moves) || g_dwElapsed < moves[next].after_ms) return;
        if (const char* command = moves[next++].command) return TheLiveConsole().Run(command);
        host::Event key;
        key.type = host::EventType::kKey;
        key.key = moves[next - 1].key;
        key.down = true;
        host::DeliverEvent(key);
      },
      true);
  ASSERT_EQ(next, std::size(moves));
  EXPECT_LT(last, 93000u);  // ended at the key, long before the timeline's end
  ASSERT_EQ(first_after.size(), std::size(moves) - 1);
  for (size_t i = 0; i < first_after.size(); ++i) {
    EXPECT_GE(first_after[i], moves[i].target) << i;
    EXPECT_LT(first_after[i], moves[i].target + 50) << i;  // one frame
  }
  ASSERT_EQ(moved.size(), 3u);
  for (DWORD t : times) EXPECT_TRUE(moved.at(t) == whole.at(t)) << t;
  EXPECT_GT(with_bar, 0u);
}

// --loop: at the end the timeline starts again, with the frames of its first round.
TEST_F(ConsoleDriverTest, ALoopPlaysTheTimelineAgainFrameForFrame) {
  fps_ = 10;
  const std::map<DWORD, Frame> whole = Run({5000}, [](uint64_t) {});
  SetLoopStart(0);
  DWORD previous = 0;
  int rounds = 1;
  const std::map<DWORD, Frame> looped = Run(
      {5000},
      [&](uint64_t) {
        if (g_dwElapsed < previous) ++rounds;
        previous = g_dwElapsed;
        if (rounds == 2 && g_dwElapsed > 5000) PostMessageA(hWnd, WM_CLOSE, 0, 0);
      },
      true);
  SetLoopStart(std::nullopt);
  EXPECT_EQ(rounds, 2);
  EXPECT_TRUE(looped.at(5000) == whole.at(5000));  // the second round's
}

// The console is shown over the scaled picture in the window, never in the
// frames: the frames presented while it is open are the demo's own, and the
// parts that build on their previous picture need nothing put back.
TEST_F(ConsoleDriverTest, AnOpenConsoleIsShownOverTheWindowAndNeverInTheFrames) {
  const std::vector<DWORD> times{35000, 63000, 90000};
  const std::map<DWORD, Frame> whole = Run(times, [](uint64_t) {});
  bool overlay_at_63 = false;
  uint8_t window_pixel[4] = {};
  const std::map<DWORD, Frame> with_console = Run(times, [&](uint64_t) {
    // Open over the power-on screen and the slide, which draw on their previous
    // picture, and again over the bump mapping.
    if (g_dwElapsed == 20000 || g_dwElapsed == 60000) TheLiveConsole().Open();
    if (g_dwElapsed == 30000 || g_dwElapsed == 64000) TheLiveConsole().Close();
    if (g_dwElapsed == 63000) {
      // The window as shown: the picture's place is 267 x 200 at x 26 (4:3); the
      // console's backdrop at the right end of its top half, where no text reaches.
      overlay_at_63 = host::CurrentOverlay() != nullptr;
      SDL_Surface* screen = SDL_GetWindowSurface(host::SdlWindow(winapi::detail::HostWindowOf(hWnd)));
      if (screen) std::memcpy(window_pixel, static_cast<uint8_t*>(screen->pixels) + 40 * screen->pitch + 285 * 4, 4);
    }
  });
  EXPECT_TRUE(overlay_at_63);
  EXPECT_GT(window_pixel[0], 2 * window_pixel[1])
      << int(window_pixel[0]) << " " << int(window_pixel[1]) << " " << int(window_pixel[2]);  // deep blue
  for (DWORD t : times) EXPECT_TRUE(with_console.at(t) == whole.at(t)) << t;
}

}  // namespace
