#pragma once
// Where a key sits on the keyboard, whatever the layout prints on it: the USB
// HID keyboard usages, which every desktop reports and the old key codes are
// translated from.

#include <cstdint>

namespace host {

enum class Key : uint16_t {
  kNone = 0,
  kA = 4,  // kA to kZ follow one another
  kZ = 29,
  k1 = 30,  // k1 to k9, then k0
  k9 = 38,
  k0 = 39,
  kReturn = 40,
  kEscape = 41,
  kBackspace = 42,
  kTab = 43,
  kSpace = 44,
  kMinus = 45,
  kEquals = 46,
  kLeftBracket = 47,
  kRightBracket = 48,
  kBackslash = 49,
  kNonUsHash = 50,
  kSemicolon = 51,
  kApostrophe = 52,
  kGrave = 53,
  kComma = 54,
  kPeriod = 55,
  kSlash = 56,
  kCapsLock = 57,
  kF1 = 58,  // kF1 to kF12 follow one another
  kF10 = 67,
  kF11 = 68,
  kF12 = 69,
  kPrintScreen = 70,
  kScrollLock = 71,
  kPause = 72,
  kInsert = 73,
  kHome = 74,
  kPageUp = 75,
  kDelete = 76,
  kEnd = 77,
  kPageDown = 78,
  kRight = 79,
  kLeft = 80,
  kDown = 81,
  kUp = 82,
  kNumLock = 83,
  kKeypadDivide = 84,
  kKeypadMultiply = 85,
  kKeypadMinus = 86,
  kKeypadPlus = 87,
  kKeypadEnter = 88,
  kKeypad1 = 89,  // kKeypad1 to kKeypad9, then kKeypad0
  kKeypad9 = 97,
  kKeypad0 = 98,
  kKeypadPeriod = 99,
  kNonUsBackslash = 100,
  kApplication = 101,
  kLeftCtrl = 224,
  kLeftShift = 225,
  kLeftAlt = 226,
  kLeftGui = 227,
  kRightCtrl = 228,
  kRightShift = 229,
  kRightAlt = 230,
  kRightGui = 231,
};

// The key `offset` places after `first` in one of the runs above (letters,
// digits, function keys, keypad digits).
constexpr Key KeyAfter(Key first, int offset) { return Key(int(first) + offset); }
// How far `key` is from `first`, when it lies in the run from `first` to `last`;
// -1 when not.
constexpr int OffsetIn(Key key, Key first, Key last) {
  return int(key) >= int(first) && int(key) <= int(last) ? int(key) - int(first) : -1;
}

}  // namespace host
