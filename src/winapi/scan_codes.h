#pragma once
// The key codes of the old keyboard calls: the PC's set-1 scan codes, extended
// keys + 128, which the key messages carry in their lParam and DirectInput uses
// as key numbers; and the virtual-key codes of the key messages' wParam.

#include <cstdint>

#include "host/key_code.h"
#include "winapi/win32.h"

namespace winapi {

// The scan code of a host key, for a full PC keyboard; 0 for keys it lacks.
uint8_t PcScanCode(host::Key key);
// The virtual-key code of a host key; 0 for keys the program has no code for.
WPARAM VirtualKeyOf(host::Key key);

}  // namespace winapi
