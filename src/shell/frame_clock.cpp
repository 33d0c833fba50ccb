#include "shell/frame_clock.h"

#include "shell/winmain.h"

uint8_t g_bFirstTick = 1;
DWORD g_dwLastTick = 0;
DWORD g_dwThisTick = 0;
DWORD g_dwDelta = 0;
DWORD g_dwElapsed = 0;
DWORD g_dwFrameTicks = 0;
DWORD g_dwFrames = 0;

uintptr_t InitTimer() { return SetTimer(hWnd, 1, 0, nullptr); }

namespace {
void ReadTick() {
  g_dwLastTick = g_dwThisTick;
  g_dwThisTick = GetTickCount();
  if (!g_bFirstTick) g_dwDelta = g_dwThisTick - g_dwLastTick;
}
}  // namespace

void FrameTick() {
  ReadTick();
  g_dwFrameTicks += g_dwDelta;
  g_dwElapsed += g_dwDelta;
  g_bFirstTick = 0;
}

void IdleTick() {
  ReadTick();
  g_dwElapsed += g_dwDelta;
  g_bFirstTick = 0;
}
