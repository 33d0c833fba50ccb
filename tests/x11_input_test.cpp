// Keys and mouse motion sent to the real window by another program (xdotool)
// reach g_KeyState and g_mouse. Runs under an X server; skipped without one.
#include <cstdlib>
#include <string>

#include "host/settings.h"
#include "input/keyboard.h"
#include "input/mouse.h"
#include "support.h"
#include "winapi/window_extras.h"

namespace {

void Pump() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
}

// Pumps messages and polls until `done` or two seconds pass.
template <class F>
bool Within2s(F done) {
  for (int i = 0; i < 200; ++i) {
    Pump();
    DxReadKeyb();
    g_mouse.poll();
    if (done()) return true;
    Sleep(10);
  }
  return false;
}

int Shell(const std::string& command) { return std::system(command.c_str()); }

TEST(X11Input, KeysAndMotionFromAnotherProgramReachTheDevices) {
  if (!std::getenv("DISPLAY") || Shell("command -v xdotool >/dev/null") != 0) GTEST_SKIP() << "needs X and xdotool";
  setenv("SDL_VIDEODRIVER", "x11", 1);
  host::SetWindowed(true, 320, 200);
  ASSERT_EQ(InitHwnd(), 1);
  Within2s([] { return false; });  // let the window appear
  ASSERT_TRUE(init_input());
  const std::string window = "$(xdotool search --name '^Velmora$' | tail -1)";
  Shell("xdotool windowfocus --sync " + window + " 2>/dev/null; xdotool mousemove --window " + window + " 100 100");
  Shell("xdotool keydown --window " + window + " b");
  EXPECT_TRUE(Within2s([] { return g_KeyState[0x30] == 0x80; }));  // DIK_B
  Shell("xdotool keyup --window " + window + " b");
  EXPECT_TRUE(Within2s([] { return g_KeyState[0x30] == 0; }));
  const int before = g_mouse.x;
  Shell("xdotool mousemove_relative 25 0");
  EXPECT_TRUE(Within2s([&] { return g_mouse.x != before; })) << "mouse x stayed " << g_mouse.x;
  DxReleaseKeyb();
  winapi::Shutdown();
}

}  // namespace
