#pragma once
// The keyboard. Placeholder until the input devices land: set-up succeeds, reads
// see no keys.

#include <cstdint>

extern uint8_t g_KeyState[256];

bool init_input();
bool DxReadKeyb();
void DxReleaseKeyb();
