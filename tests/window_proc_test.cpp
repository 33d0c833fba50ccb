#include <SDL.h>

#include "host/clock.h"
#include "support.h"
#include "winapi/testing.h"

namespace {

using WindowProcTest = test::DisplayTest;

bool NextMessage(MSG& m) { return PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE) && m.message != WM_TIMER; }

TEST_F(WindowProcTest, ShowingTheWindowActivatesIt) { EXPECT_EQ(g_bActive, 1); }

TEST_F(WindowProcTest, CloseAndDestroySetQuitAndReturnZero) {
  EXPECT_EQ(WindowProc(hWnd, WM_CLOSE, 0, 0), 0);
  EXPECT_EQ(g_bQuit, 1);
  g_bQuit = 0;
  EXPECT_EQ(WindowProc(hWnd, WM_DESTROY, 0, 0), 0);
  EXPECT_EQ(g_bQuit, 1);
}

TEST_F(WindowProcTest, ActivateFollowsTheMinimisedFlagOnly) {
  OpenDisplay();
  WindowProc(hWnd, WM_ACTIVATE, WA_INACTIVE, 0);  // deactivated, not minimised
  EXPECT_EQ(g_bActive, 1);
  EXPECT_EQ(g_bDisplayReady, 1);
  WindowProc(hWnd, WM_ACTIVATE, WA_INACTIVE | 0x10000, 0);
  EXPECT_EQ(g_bActive, 0);
  EXPECT_EQ(g_bDisplayReady, 1);
  // Coming back from minimised asks for the display to be restored.
  WindowProc(hWnd, WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_EQ(g_bActive, 1);
  EXPECT_EQ(g_bDisplayReady, 0);
}

TEST_F(WindowProcTest, SetCursorHidesTheCursorAndReturnsOne) {
  EXPECT_EQ(WindowProc(hWnd, WM_SETCURSOR, 0, 0), 1);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
}

TEST_F(WindowProcTest, EscapePostsCloseWithoutQuittingAtOnce) {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
  }
  EXPECT_EQ(WindowProc(hWnd, WM_KEYDOWN, VK_ESCAPE, 0), 0);
  EXPECT_EQ(g_bQuit, 0);
  ASSERT_TRUE(NextMessage(m));
  EXPECT_EQ(m.message, WM_CLOSE);
  EXPECT_EQ(m.hwnd, hWnd);
  DispatchMessageA(&m);
  EXPECT_EQ(g_bQuit, 1);
}

TEST_F(WindowProcTest, OtherKeysGoToTheDefaultProcedure) {
  OpenDisplay();
  HWND before = hWnd;
  EXPECT_EQ(WindowProc(hWnd, WM_KEYDOWN, 'A', 0), 0);
  EXPECT_EQ(hWnd, before);
  EXPECT_EQ(g_bQuit, 0);
}

TEST_F(WindowProcTest, F8TwiceLeavesThreeWindowsAndA320x200x32Display) {
  OpenDisplay(640, 480, 16);
  HWND first = hWnd;
  WindowProc(hWnd, WM_KEYDOWN, VK_F8, 0);
  HWND second = hWnd;
  WindowProc(hWnd, WM_KEYDOWN, VK_F8, 0);
  EXPECT_EQ(winapi::testing::WindowCount(), 3);
  // The earlier two are kept as objects but hold no window or buffers any more.
  EXPECT_EQ(winapi::testing::ShownWindowCount(), 1);
  EXPECT_NE(hWnd, first);
  EXPECT_NE(hWnd, second);
  EXPECT_EQ(g_dwWidth, 320u);
  EXPECT_EQ(g_dwHeight, 200u);
  EXPECT_EQ(g_dwBpp, 32u);
  EXPECT_EQ(g_bDisplayReady, 1);
  ASSERT_NE(g_pDD, nullptr);
  EXPECT_EQ(g_pDD->window, hWnd);
}

TEST_F(WindowProcTest, F8KeepsTheBackBufferUsableInTheNewPixelFormat) {
  OpenDisplay(640, 480, 16);
  ASSERT_EQ(front.create(640, 480), 1);
  ASSERT_EQ(front.lock(), 0);
  front.put_pixel(3, 4, 0xF800);  // full red in RGB565
  front.unlock();
  WindowProc(hWnd, WM_KEYDOWN, VK_F8, 0);
  EXPECT_EQ(test::PixelAt(front, 3, 4), 0xFF0000u);
  EXPECT_EQ(front.blit(primary, nullptr, nullptr), 1);
  EXPECT_EQ(front.blit_error, 0);
  EXPECT_EQ(front.clear(0x123456), 1);
}

TEST_F(WindowProcTest, MinimiseAndRestoreArriveAsActivateMessages) {
  OpenDisplay();
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
  }
  winapi::testing::SimulateMinimise(hWnd);
  ASSERT_TRUE(NextMessage(m));
  EXPECT_EQ(m.message, WM_ACTIVATE);
  EXPECT_EQ(HIWORD(m.wParam), 1);
  DispatchMessageA(&m);
  EXPECT_EQ(g_bActive, 0);
  winapi::testing::SimulateRestore(hWnd);
  ASSERT_TRUE(NextMessage(m));
  DispatchMessageA(&m);
  EXPECT_EQ(g_bActive, 1);
  EXPECT_EQ(g_bDisplayReady, 0);
}

TEST_F(WindowProcTest, TimerRaisesWmTimerAtTenMillisecondsAtTheLeast) {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
  }
  host::UseManualClock(5000);
  SetTimer(hWnd, 1, 0, nullptr);
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  host::UseManualClock(5009);
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  host::UseManualClock(5010);
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_TIMER);
  EXPECT_EQ(m.wParam, 1u);
}

}  // namespace
