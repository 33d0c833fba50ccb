// The console inside the real driver on the virtual clock: goto replays the
// timeline frame-exactly, and an open console is drawn over the presented frames
// and leaves the demo's own pictures as they were.
#include <cstdlib>
#include <map>
#include <vector>

#include "host/clock.h"
#include "host/frame_pump.h"
#include "host/settings.h"
#include "image/file_bytes.h"
#include "shell/demo.h"
#include "shell/frame_clock.h"
#include "shell/live_console.h"
#include "shell/startup_failure.h"
#include "support.h"
#include "winapi/gdi.h"
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
  // kept, and returns the frames presented at the demo times asked for.
  std::map<DWORD, Frame> Run(const std::vector<DWORD>& times, const std::function<void(uint64_t)>& at_frame) {
    test::ResetDriverState();  // each run starts as a fresh process does
    std::map<DWORD, Frame> kept;
    uint64_t presents = 0;
    host::SetPresentHook([&](const host::PresentedFrame& f) {
      at_frame(++presents);
      for (DWORD t : times)
        if (g_dwElapsed == t) kept[t] = Frame(f.pixels, f.pixels + size_t(f.pitch) * size_t(f.height));
      if (g_dwElapsed >= times.back()) PostMessageA(hWnd, WM_CLOSE, 0, 0);
    });
    std::string words;
    EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, words.data(), 10), 0);
    EXPECT_EQ(FirstStartupFailure(), "");
    EXPECT_GE(g_dwElapsed, times.back());
    host::SetPresentHook(nullptr);
    winapi::Shutdown();
    return kept;
  }
};

// Frames 40000, 63000 and 90000 ms fall on the 60 fps grid (every third frame
// lands on a whole 50 ms).
TEST_F(ConsoleDriverTest, GotoBackAndForthShowsTheFramesOfAWholeRun) {
  const std::vector<DWORD> times{40000, 63000, 90000};
  const std::map<DWORD, Frame> whole = Run(times, [](uint64_t) {});
  ASSERT_EQ(whole.size(), 3u);

  // Forward from the power-on screen to 38 s, then from the twirl back to 39 s.
  bool back_done = false;
  const std::map<DWORD, Frame> jumped = Run(times, [&](uint64_t n) {
    if (n == 60) TheLiveConsole().Run("goto 38000");
    if (!back_done && g_dwElapsed >= 39500 && n > 60) {
      back_done = true;
      TheLiveConsole().Run("goto 39000");
    }
  });
  EXPECT_TRUE(back_done);
  ASSERT_EQ(jumped.size(), 3u);
  for (DWORD t : times) EXPECT_TRUE(jumped.at(t) == whole.at(t)) << t;
}

TEST_F(ConsoleDriverTest, AnOpenConsoleCoversTheTopHalfOfTheShownFramesOnly) {
  const std::vector<DWORD> times{35000, 63000, 90000};
  const std::map<DWORD, Frame> whole = Run(times, [](uint64_t) {});
  const std::map<DWORD, Frame> with_console = Run(times, [&](uint64_t) {
    // Open over the power-on screen and the slide, which draw on their previous
    // picture, and again over the bump mapping.
    if (g_dwElapsed == 20000 || g_dwElapsed == 60000) TheLiveConsole().Open();
    if (g_dwElapsed == 30000 || g_dwElapsed == 64000) TheLiveConsole().Close();
  });
  const Frame& a = whole.at(63000);
  const Frame& b = with_console.at(63000);
  const size_t pitch = 320 * 4, half = pitch * 96;
  // The window: the backdrop's deep blue at its right end, where no text reaches.
  const uint8_t* p = &b[40 * pitch + 316 * 4];
  EXPECT_GT(p[0], 2 * p[1]) << int(p[0]) << " " << int(p[1]) << " " << int(p[2]);
  EXPECT_FALSE(std::equal(a.begin(), a.begin() + long(half), b.begin()));
  // Below it, and every frame after it closed, the demo's own pictures: the parts
  // that build on their previous picture got it back.
  EXPECT_TRUE(std::equal(a.begin() + long(half), a.end(), b.begin() + long(half)));
  EXPECT_TRUE(with_console.at(35000) == whole.at(35000));
  EXPECT_TRUE(with_console.at(90000) == whole.at(90000));
}

}  // namespace
