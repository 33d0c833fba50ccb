#pragma once
// The key codes of the old keyboard calls: the PC's set-1 scan codes, extended
// keys + 128, which the key messages carry in their lParam and DirectInput uses
// as key numbers.

#include <cstdint>

namespace winapi {

// The code of an SDL scan code, for a full PC keyboard; 0 for keys it lacks.
uint8_t PcScanCode(int sdl_scancode);

}  // namespace winapi
