#include <SDL.h>

#include "host/event.h"
#include "input/keyboard.h"
#include "input/mouse.h"
#include "support.h"
#include "winapi/scan_codes.h"
#include "winapi/testing.h"

namespace {

// The host's key numbers are the desktop's scan codes.
int DikFromSdlScancode(int scancode) { return winapi::PcScanCode(host::Key(scancode)); }

class InputTest : public test::DisplayTest {
 protected:
  void TearDown() override {
    DxReleaseKeyb();
    g_mouse = mouse();
    test::DisplayTest::TearDown();
  }
  void Key(SDL_Scancode sc, bool down) {
    host::Event e;
    e.type = host::EventType::kKey;
    e.key = host::Key(sc);
    e.down = down;
    winapi::testing::FeedInputEvent(e);
  }
  void Button(int button, bool down) {
    host::Event e;
    e.type = host::EventType::kMouseButton;
    e.button = host::MouseButton(button);
    e.down = down;
    winapi::testing::FeedInputEvent(e);
  }
  void Motion(int dx, int dy) {
    host::Event e;
    e.type = host::EventType::kMouseMotion;
    e.dx = dx;
    e.dy = dy;
    winapi::testing::FeedInputEvent(e);
  }
  void Pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
  }
};

TEST_F(InputTest, WithoutDirectInputOneErrorLineAndNoMouse) {
  winapi::testing::FailNextDirectInputCreate();
  std::string log = test::CaptureLog(log_input, [] { EXPECT_FALSE(init_input()); });
  EXPECT_EQ(log.rfind("init_input()...\nERROR DirectInputCreate(", 0), 0u) << log;
  size_t errors = 0;
  for (size_t at = 0; (at = log.find("ERROR", at)) != std::string::npos; ++at) ++errors;
  EXPECT_EQ(errors, 1u);
  EXPECT_EQ(g_pDI, nullptr);
  EXPECT_EQ(g_pDIMouse, nullptr);
}

TEST_F(InputTest, KeyboardThatCannotBeAcquiredLeavesBothPointersNull) {
  winapi::testing::SimulateMinimise(hWnd);
  EXPECT_FALSE(init_input());
  EXPECT_EQ(g_pDI, nullptr);
  EXPECT_EQ(g_pDIKeyb, nullptr);
  EXPECT_EQ(g_pDIMouse, nullptr);
}

TEST_F(InputTest, KeysHeldShowInTheState) {
  ASSERT_TRUE(init_input());
  Key(SDL_SCANCODE_A, true);
  Key(SDL_SCANCODE_RALT, true);
  ASSERT_TRUE(DxReadKeyb());
  EXPECT_EQ(g_KeyState[DIK_A], 0x80);
  EXPECT_EQ(g_KeyState[DIK_RMENU], 0x80);
  Key(SDL_SCANCODE_A, false);
  ASSERT_TRUE(DxReadKeyb());
  EXPECT_EQ(g_KeyState[DIK_A], 0);
}

TEST_F(InputTest, FirstReadAfterMinimisedRestoresAndSeesNoKeys) {
  ASSERT_TRUE(init_input());
  IDirectInputDevice7* before = g_pDIKeyb;
  winapi::testing::SimulateMinimise(hWnd);
  Pump();
  winapi::testing::SimulateRestore(hWnd);
  Pump();
  Key(SDL_SCANCODE_A, true);
  std::string log = test::CaptureLog(log_input, [] { EXPECT_TRUE(DxReadKeyb()); });
  EXPECT_NE(log.find("restoring keyboard...\n"), std::string::npos);
  EXPECT_NE(log.find("OK restore"), std::string::npos);
  EXPECT_EQ(g_KeyState[DIK_A], 0);
  EXPECT_NE(g_pDIKeyb, nullptr);
  (void)before;
  ASSERT_TRUE(DxReadKeyb());  // the new device reads the key
  EXPECT_EQ(g_KeyState[DIK_A], 0x80);
}

TEST_F(InputTest, FailedRestoreLeavesLaterReadsHarmless) {
  ASSERT_TRUE(init_input());
  winapi::testing::SimulateMinimise(hWnd);  // still away: the restore cannot acquire
  EXPECT_FALSE(DxReadKeyb());
  EXPECT_EQ(g_pDIKeyb, nullptr);
  EXPECT_EQ(g_pDI, nullptr);
  EXPECT_EQ(g_pDIMouse, nullptr);
  EXPECT_FALSE(DxReadKeyb());
  EXPECT_EQ(g_mouse.poll(), 1);
}

TEST_F(InputTest, InputGivenUpInTheBackgroundComesBackWhenTheWindowIsActiveAgain) {
  ASSERT_TRUE(init_input());
  auto pump = [] {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
  };
  winapi::testing::SimulateMinimise(hWnd);
  EXPECT_FALSE(DxReadKeyb());  // away: the restore fails and input is given up
  EXPECT_EQ(g_pDIKeyb, nullptr);
  pump();
  winapi::testing::SimulateRestore(hWnd);
  pump();
  ASSERT_EQ(g_bActive, 1);
  EXPECT_TRUE(DxReadKeyb());
  EXPECT_NE(g_pDIKeyb, nullptr);
  EXPECT_NE(g_pDIMouse, nullptr);
}

TEST_F(InputTest, ReleaseWithNothingSetUpLogsItsTwoLines) {
  std::string log = test::CaptureLog(log_input, [] { DxReleaseKeyb(); });
  EXPECT_EQ(log, "DxReleaseKeyb()...\nOK DxReleaseKeyb()\n");
  EXPECT_EQ(g_pDI, nullptr);
}

TEST_F(InputTest, EachButtonEventClearsTheOtherFlags) {
  ASSERT_TRUE(init_input());
  Button(SDL_BUTTON_LEFT, true);
  g_mouse.poll();
  EXPECT_EQ(g_mouse.left, 1);
  Button(SDL_BUTTON_RIGHT, true);  // button 1 while button 0 is held
  g_mouse.poll();
  EXPECT_EQ(g_mouse.left, 0);
  EXPECT_EQ(g_mouse.right, 1);
  Button(SDL_BUTTON_MIDDLE, true);
  Button(SDL_BUTTON_MIDDLE, false);  // a release clears all three
  g_mouse.poll();
  EXPECT_EQ(g_mouse.left + g_mouse.right + g_mouse.middle, 0);
}

TEST_F(InputTest, MotionAddsUpAndAnEmptyPollChangesNothing) {
  ASSERT_TRUE(init_input());
  Motion(3, 0);
  Motion(-5, 0);
  g_mouse.poll();
  EXPECT_EQ(g_mouse.x, -2);
  EXPECT_EQ(g_mouse.previous_x, 3);
  EXPECT_EQ(g_mouse.last_dx, -5);
  g_mouse.poll();
  EXPECT_EQ(g_mouse.x, -2);
  EXPECT_EQ(g_mouse.last_dx, 0);
  EXPECT_EQ(g_mouse.last_dy, 0);
}

TEST_F(InputTest, BufferHoldsSixteenEvents) {
  ASSERT_TRUE(init_input());
  for (int i = 0; i < 20; ++i) Motion(1, 0);
  g_mouse.poll();
  EXPECT_EQ(g_mouse.x, 16);
}

TEST_F(InputTest, MouseLostWhileAwayIsAcquiredAgainWhenBack) {
  ASSERT_TRUE(init_input());
  winapi::testing::SimulateMinimise(hWnd);
  Pump();
  Motion(4, 0);    // nobody holds the mouse now
  g_mouse.poll();  // lost: asks for the mouse, but the window is away
  EXPECT_EQ(g_mouse.x, 0);
  winapi::testing::SimulateRestore(hWnd);
  Pump();
  g_mouse.poll();  // reports the loss and acquires again
  Motion(2, 0);
  g_mouse.poll();
  EXPECT_EQ(g_mouse.x, 2);
}

TEST(ScanCodes, EveryKeyOfTheCharacterMapHasItsDirectInputCode) {
  for (int i = 0; i < 9; ++i) EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_1 + i), 0x02 + i);
  EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_0), 0x0B);
  EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_MINUS), 0x0C);
  EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_EQUALS), 0x0D);
  EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_TAB), 0x0F);
  const SDL_Scancode top[] = {SDL_SCANCODE_Q, SDL_SCANCODE_W, SDL_SCANCODE_E, SDL_SCANCODE_R, SDL_SCANCODE_T,
                              SDL_SCANCODE_Y, SDL_SCANCODE_U, SDL_SCANCODE_I, SDL_SCANCODE_O, SDL_SCANCODE_P};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(DikFromSdlScancode(top[i]), 0x10 + i);
  EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_LEFTBRACKET), 0x1A);
  EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_RIGHTBRACKET), 0x1B);
  const SDL_Scancode home[] = {SDL_SCANCODE_A, SDL_SCANCODE_S, SDL_SCANCODE_D, SDL_SCANCODE_F, SDL_SCANCODE_G,
                               SDL_SCANCODE_H, SDL_SCANCODE_J, SDL_SCANCODE_K, SDL_SCANCODE_L};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(DikFromSdlScancode(home[i]), 0x1E + i);
  EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_SEMICOLON), 0x27);
  EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_APOSTROPHE), 0x28);
  EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_GRAVE), 0x29);
  EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_BACKSLASH), 0x2B);
  EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_NONUSHASH), 0x2B);
  const SDL_Scancode bottom[] = {SDL_SCANCODE_Z, SDL_SCANCODE_X, SDL_SCANCODE_C, SDL_SCANCODE_V,
                                 SDL_SCANCODE_B, SDL_SCANCODE_N, SDL_SCANCODE_M};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(DikFromSdlScancode(bottom[i]), 0x2C + i);
  EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_COMMA), 0x33);
  EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_PERIOD), 0x34);
  EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_SLASH), 0x35);
  EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_KP_MULTIPLY), 0x37);
  EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_SPACE), 0x39);
  const std::pair<SDL_Scancode, int> keypad[] = {
      {SDL_SCANCODE_KP_7, 0x47},     {SDL_SCANCODE_KP_8, 0x48},    {SDL_SCANCODE_KP_9, 0x49},
      {SDL_SCANCODE_KP_MINUS, 0x4A}, {SDL_SCANCODE_KP_4, 0x4B},    {SDL_SCANCODE_KP_5, 0x4C},
      {SDL_SCANCODE_KP_6, 0x4D},     {SDL_SCANCODE_KP_PLUS, 0x4E}, {SDL_SCANCODE_KP_1, 0x4F},
      {SDL_SCANCODE_KP_2, 0x50},     {SDL_SCANCODE_KP_3, 0x51},    {SDL_SCANCODE_KP_0, 0x52},
      {SDL_SCANCODE_KP_PERIOD, 0x53}};
  for (auto [sc, dik] : keypad) EXPECT_EQ(DikFromSdlScancode(sc), dik) << sc;
  EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_LALT), 0x38);
  EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_RALT), 0xB8);
  EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_LSHIFT), 0x2A);
  EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_RSHIFT), 0x36);
  EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_RETURN), 0x1C);
  EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_BACKSPACE), 0x0E);
  EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_UP), 200);
  EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_LEFT), 203);
  EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_RIGHT), 205);
  EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_DOWN), 208);
}

}  // namespace
