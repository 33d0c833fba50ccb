// The real driver over the real timeline, on the virtual clock.
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "base/logfile.h"
#include "host/audio_mixer.h"
#include "host/clock.h"
#include "host/frame_pump.h"
#include "host/settings.h"
#include "shell/demo.h"
#include "shell/frame_clock.h"
#include "shell/startup_failure.h"
#include "support.h"
#include "winapi/gdi.h"
#include "winapi/window_extras.h"

namespace {

class DriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    host::SetWindowed(true, 320, 200);  // presentation at the mode's size costs least
    // Each test starts from a run that has not begun, whatever ran before it.
    test::ResetDriverState();
    host::audio::SetSound(false, false);
  }
  void TearDown() override {
    host::SetPresentHook(nullptr);
    winapi::Shutdown();
    logging::DisableFiles();
  }
  int Run(const char* command_line) {
    std::string text = command_line;
    return WinMain(GetModuleHandleA(nullptr), nullptr, text.data(), 10);
  }
  // Ends the demo at the presented frame number `frame` (counted from 1).
  void CloseAtFrame(uint64_t frame) {
    host::SetPresentHook([this, frame](const host::PresentedFrame&) {
      if (++presents == frame) PostMessageA(hWnd, WM_CLOSE, 0, 0);
    });
  }
  uint64_t presents = 0;
};

// A working directory whose data holds only the music: the demo needs it to
// start, while every part runs on pictures and objects that failed to load.
class MusicOnly : public test::TempDir {
 public:
  MusicOnly() {
    std::filesystem::create_directory("data");
    std::filesystem::copy_file(test::DataPath("rovaraza.xm"), "data/rovaraza.xm");
  }
};

TEST_F(DriverTest, WholeTimelineSwitchesPartsAtTheirBordersAndEndsByItself) {
  MusicOnly dir;
  host::UseVirtualClock(1000);  // one millisecond per frame: every demo time is seen
  std::map<DWORD, int> mode_at;
  host::SetPresentHook([&](const host::PresentedFrame&) {
    ++presents;
    mode_at[g_dwElapsed] = g_nDemoMode;
  });
  EXPECT_EQ(Run(""), 0);
  EXPECT_TRUE(FirstStartupFailure().empty()) << FirstStartupFailure();
  const std::pair<DWORD, int> borders[] = {{1, 0},     {25000, 0}, {25001, 1}, {36000, 1},  {36001, 2}, {62000, 2},
                                           {62001, 3}, {68000, 3}, {68001, 4}, {106000, 4}, {106001, 4}};
  for (auto [ms, mode] : borders) {
    ASSERT_TRUE(mode_at.count(ms)) << ms;
    EXPECT_EQ(mode_at[ms], mode) << ms;
  }
  EXPECT_FALSE(mode_at.count(106002));  // 106001 set the quit flag; no step after it
  // One update step per millisecond: the countdown holds the steps still owed,
  // and the first step runs at demo time 0.
  EXPECT_EQ(demo::UpdateStepCount() + g_dwFrameTicks, g_dwElapsed + 1);
  EXPECT_EQ(g_dwFrames, presents);
  EXPECT_EQ(g_dwFrames, 106002u);
  EXPECT_EQ(g_dwElapsed, 106002u);  // the wait after the last frame still reads the clock
}

TEST_F(DriverTest, AtSixtyFramesPerSecondStepsStillFollowTheClock) {
  MusicOnly dir;
  host::UseVirtualClock(60);
  EXPECT_EQ(Run(""), 0);
  EXPECT_EQ(demo::UpdateStepCount() + g_dwFrameTicks, g_dwElapsed + 1);
  EXPECT_GE(g_dwElapsed, 106001u);
  EXPECT_LE(g_dwElapsed, 106001u + 17);
  EXPECT_NEAR(double(g_dwFrames), 106.0 * 60, 3);
}

TEST_F(DriverTest, ThreeWordsSelectTheDisplayMode) {
  MusicOnly dir;
  host::UseVirtualClock(60);
  CloseAtFrame(3);
  EXPECT_EQ(Run("640 480 16"), 0);
  EXPECT_TRUE(FirstStartupFailure().empty());
  EXPECT_EQ(g_dwWidth, 640u);
  EXPECT_EQ(g_dwHeight, 480u);
  EXPECT_EQ(g_dwBpp, 16u);
  EXPECT_EQ(presents, 3u);
}

TEST_F(DriverTest, TwoOrFourWordsSelectTheDefaultMode) {
  MusicOnly dir;
  host::UseVirtualClock(60);
  CloseAtFrame(1);
  EXPECT_EQ(Run("640 480"), 0);
  EXPECT_EQ(g_dwWidth, 320u);
  EXPECT_EQ(g_dwBpp, 32u);
}

TEST_F(DriverTest, FourWordsSelectTheDefaultModeToo) {
  MusicOnly dir;
  host::UseVirtualClock(60);
  CloseAtFrame(1);
  EXPECT_EQ(Run("640 480 16 1"), 0);
  EXPECT_EQ(g_dwWidth, 320u);
  EXPECT_EQ(g_dwHeight, 200u);
}

TEST_F(DriverTest, RejectedModeEndsBeforeTheFirstFrameAndIsReported) {
  host::UseVirtualClock(60);
  EXPECT_EQ(Run("640 480 8"), 0);
  EXPECT_EQ(FirstStartupFailure(), "DxInit(640,480,8)");
  EXPECT_EQ(FirstStartupFailureReason(), "not a mode this program shows (16, 24 or 32 bits)");
  EXPECT_EQ(g_dwFrames, 0u);
  EXPECT_EQ(g_bQuit, 1);
}

TEST_F(DriverTest, NoWindowStillRunsEveryStartUpStepAndNoLoop) {
  setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
  test::TempDir dir;
  logging::EnableFiles(dir.path().string());
  host::UseVirtualClock(60);
  EXPECT_EQ(Run(""), 0);
  EXPECT_EQ(FirstStartupFailure(), "InitHwnd()");
  EXPECT_EQ(g_dwFrames, 0u);
  std::ifstream log(dir.path() / "log/velmora main.log");
  std::stringstream text;
  text << log.rdbuf();
  EXPECT_NE(text.str().find("ERROR InitHwnd()"), std::string::npos);
  EXPECT_NE(text.str().find("ERROR DxInit(320,200,32)"), std::string::npos);
  EXPECT_NE(text.str().find("front.create(320, 200)"), std::string::npos);
  EXPECT_NE(text.str().find("stopped [0.0]"), std::string::npos);
  // No time on the clock: the count alone, never a quotient by zero.
  EXPECT_NE(text.str().find("\n0 frames\n"), std::string::npos) << text.str();
  EXPECT_EQ(text.str().find("nan"), std::string::npos);
}

TEST_F(DriverTest, ARunLeavesNoFileBehind) {
  MusicOnly dir;
  std::filesystem::create_directory("log");
  host::UseVirtualClock(60);
  CloseAtFrame(30);
  EXPECT_EQ(Run(""), 0);
  // The empty log directory, data/ and the music: nothing new.
  EXPECT_EQ(std::distance(std::filesystem::recursive_directory_iterator(dir.path()), {}), 3);
}

TEST_F(DriverTest, LogOptionWritesEachModulesChannel) {
  MusicOnly dir;
  logging::EnableFiles(dir.path().string());
  host::UseVirtualClock(60);
  CloseAtFrame(2);
  EXPECT_EQ(Run(""), 0);
  for (const char* module : {"con", "winmain", "2d", "dx", "main", "efect", "font", "apu", "input", "console"}) {
    std::ifstream log(dir.path() / (std::string("log/velmora ") + module + ".log"));
    std::string title;
    std::getline(log, title);
    EXPECT_EQ(title, std::string("Velmora Log (") + module + ") - Harnwick v0.02 ");
  }
  std::ifstream main_log(dir.path() / "log/velmora main.log");
  std::stringstream text;
  text << main_log.rdbuf();
  EXPECT_NE(text.str().find("OK DxInit(320,200,32)"), std::string::npos);
  EXPECT_NE(text.str().find("2 frames in"), std::string::npos);
}

TEST_F(DriverTest, MissingMusicEndsTheDemoBeforeItsFirstFrame) {
  test::TempDir dir;
  host::UseVirtualClock(60);
  EXPECT_EQ(Run(""), 0);
  EXPECT_EQ(FirstStartupFailure(), "s.Load('data/rovaraza.xm')");
  EXPECT_EQ(g_dwFrames, 0u);
}

TEST_F(DriverTest, NoSoundDeviceIsAStartUpFailure) {
  MusicOnly dir;
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  host::UseVirtualClock(60);
  EXPECT_EQ(Run(""), 0);
  EXPECT_EQ(FirstStartupFailure(), "InitSound(hWnd)");
  EXPECT_NE(FirstStartupFailureReason().find("no sound device"), std::string::npos);
  EXPECT_EQ(g_dwFrames, 0u);
}

TEST_F(DriverTest, WithTheSilentFallbackNoSoundDevicePlaysOnWithoutSound) {
  MusicOnly dir;
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  host::audio::SetSound(false, true);
  host::UseVirtualClock(60);
  CloseAtFrame(20);
  EXPECT_EQ(Run(""), 0);
  EXPECT_TRUE(FirstStartupFailure().empty()) << FirstStartupFailure();
  EXPECT_EQ(presents, 20u);
  host::audio::SetSound(false, false);
}

TEST_F(DriverTest, EscapeEndsTheLoopAtItsNextTest) {
  MusicOnly dir;
  host::UseVirtualClock(60);
  host::SetPresentHook([this](const host::PresentedFrame&) {
    if (++presents == 5) PostMessageA(hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
  });
  EXPECT_EQ(Run(""), 0);
  EXPECT_EQ(presents, 5u);
  EXPECT_TRUE(FirstStartupFailure().empty());
}

TEST_F(DriverTest, F8KeepsTheDemoRunningOnANewDisplay) {
  MusicOnly dir;
  host::UseVirtualClock(60);
  host::SetPresentHook([this](const host::PresentedFrame& f) {
    ++presents;
    if (presents == 5) PostMessageA(hWnd, WM_KEYDOWN, VK_F8, 0);
    if (presents > 5) {
      EXPECT_EQ(f.width, 320);
    }
    if (presents == 40) PostMessageA(hWnd, WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(Run("640 480 16"), 0);
  EXPECT_EQ(presents, 40u);
  EXPECT_EQ(g_dwBpp, 32u);
  EXPECT_EQ(front.blit_error, 0);
}

}  // namespace
