#include "winapi/scan_codes.h"

namespace winapi {
namespace {

using host::Key;

struct KeyCodes {
  Key key;
  uint8_t scan;
  WPARAM virtual_key;
};

// The keys outside the runs of letters, digits and function keys.
constexpr KeyCodes kKeys[] = {
    {Key::kReturn, 28, VK_RETURN},
    {Key::kEscape, 1, VK_ESCAPE},
    {Key::kBackspace, 14, VK_BACK},
    {Key::kTab, 15, VK_TAB},
    {Key::kSpace, 57, VK_SPACE},
    {Key::kMinus, 12, VK_OEM_MINUS},
    {Key::kEquals, 13, VK_OEM_PLUS},
    {Key::kLeftBracket, 26, VK_OEM_4},
    {Key::kRightBracket, 27, VK_OEM_6},
    {Key::kBackslash, 43, VK_OEM_5},
    {Key::kNonUsHash, 43, 0},
    {Key::kSemicolon, 39, VK_OEM_1},
    {Key::kApostrophe, 40, VK_OEM_7},
    {Key::kGrave, 41, VK_OEM_3},
    {Key::kComma, 51, VK_OEM_COMMA},
    {Key::kPeriod, 52, VK_OEM_PERIOD},
    {Key::kSlash, 53, VK_OEM_2},
    {Key::kCapsLock, 58, VK_CAPITAL},
    {Key::kF11, 87, VK_F1 + 10},
    {Key::kF12, 88, VK_F1 + 11},
    {Key::kPrintScreen, 183, VK_SNAPSHOT},
    {Key::kScrollLock, 70, VK_SCROLL},
    {Key::kPause, 197, VK_PAUSE},
    {Key::kInsert, 210, VK_INSERT},
    {Key::kHome, 199, VK_HOME},
    {Key::kPageUp, 201, VK_PRIOR},
    {Key::kDelete, 211, VK_DELETE},
    {Key::kEnd, 207, VK_END},
    {Key::kPageDown, 209, VK_NEXT},
    {Key::kRight, 205, VK_RIGHT},
    {Key::kLeft, 203, VK_LEFT},
    {Key::kDown, 208, VK_DOWN},
    {Key::kUp, 200, VK_UP},
    {Key::kNumLock, 69, VK_NUMLOCK},
    {Key::kKeypadDivide, 181, VK_DIVIDE},
    {Key::kKeypadMultiply, 55, VK_MULTIPLY},
    {Key::kKeypadMinus, 74, VK_SUBTRACT},
    {Key::kKeypadPlus, 78, VK_ADD},
    {Key::kKeypadEnter, 156, VK_RETURN},
    {Key::kKeypad0, 82, VK_NUMPAD0},
    {Key::kKeypadPeriod, 83, VK_DECIMAL},
    {Key::kNonUsBackslash, 86, VK_OEM_102},
    {Key::kApplication, 221, VK_APPS},
    {Key::kLeftCtrl, 29, VK_CONTROL},
    {Key::kLeftShift, 42, VK_SHIFT},
    {Key::kLeftAlt, 56, VK_MENU},
    {Key::kLeftGui, 219, VK_LWIN},
    {Key::kRightCtrl, 157, VK_CONTROL},
    {Key::kRightShift, 54, VK_SHIFT},
    {Key::kRightAlt, 184, VK_MENU},
    {Key::kRightGui, 220, VK_RWIN},
};

// The keypad's digits 1 to 9 do not run in scan-code order.
constexpr uint8_t kKeypadScan[9] = {79, 80, 81, 75, 76, 77, 71, 72, 73};
constexpr uint8_t kLetterScan[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                     49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};

// Both codes of a key; zeros for a key the PC keyboard lacks.
KeyCodes CodesOf(Key key) {
  if (int i = host::OffsetIn(key, Key::kA, Key::kZ); i >= 0) return {key, kLetterScan[i], WPARAM('A' + i)};
  if (int i = host::OffsetIn(key, Key::k1, Key::k9); i >= 0) return {key, uint8_t(2 + i), WPARAM('1' + i)};
  if (key == Key::k0) return {key, 11, '0'};
  if (int i = host::OffsetIn(key, Key::kF1, Key::kF10); i >= 0) return {key, uint8_t(59 + i), WPARAM(VK_F1 + i)};
  if (int i = host::OffsetIn(key, Key::kKeypad1, Key::kKeypad9); i >= 0)
    return {key, kKeypadScan[i], WPARAM(VK_NUMPAD0 + 1 + i)};
  for (const KeyCodes& codes : kKeys)
    if (codes.key == key) return codes;
  return {key, 0, 0};
}

}  // namespace

uint8_t PcScanCode(Key key) { return CodesOf(key).scan; }
WPARAM VirtualKeyOf(Key key) { return CodesOf(key).virtual_key; }

}  // namespace winapi
