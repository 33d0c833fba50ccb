#pragma once
// The demo clock and the tick countdown, fed by the system tick count.

#include <cstdint>

#include "winapi/win32.h"

extern uint8_t g_bFirstTick;
extern DWORD g_dwLastTick;
extern DWORD g_dwThisTick;
extern DWORD g_dwDelta;
extern DWORD g_dwElapsed;
extern DWORD g_dwFrameTicks;
extern DWORD g_dwFrames;

uintptr_t InitTimer();
// Clock update of the drawing loop: feeds the demo clock and the countdown.
void FrameTick();
// Clock update while the window is inactive: feeds the demo clock only.
void IdleTick();
