#pragma once
// DirectInput and the keyboard: set-up, one state read per update step, and a
// keyboard lost while the window was away set up again by the read itself.

#include <cstdint>

#include "winapi/dinput.h"

extern IDirectInput7* g_pDI;
extern IDirectInputDevice7* g_pDIKeyb;
// 0x80 while the key of that DirectInput code is down.
extern uint8_t g_KeyState[256];

bool init_input();
bool DxInitKeyb();
void DxReleaseKeyb();
bool DxReadKeyb();

// DirectInput key codes the engine names.
constexpr uint8_t DIK_ESCAPE = 0x01, DIK_BACK = 0x0E, DIK_TAB = 0x0F, DIK_RETURN = 0x1C, DIK_LCONTROL = 0x1D,
                  DIK_A = 0x1E, DIK_LSHIFT = 0x2A, DIK_RSHIFT = 0x36, DIK_LMENU = 0x38, DIK_SPACE = 0x39,
                  DIK_RMENU = 0xB8, DIK_UP = 0xC8, DIK_LEFT = 0xCB, DIK_RIGHT = 0xCD, DIK_DOWN = 0xD0;
