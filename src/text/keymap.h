#pragma once
// The Finnish keyboard as a fixed table: the ISO 8859-1 character of each
// DirectInput key code at three levels (plain, Shift, Alt); 0xFF for none.

#include <cstdint>

// Entry [level * 256 + key code].
extern const uint8_t* const keymap;

// 2 when either Alt key is held, else 1 when either Shift key is, else 0.
int keymap_level(const uint8_t* key_state);
