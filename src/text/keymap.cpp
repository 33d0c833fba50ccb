#include "text/keymap.h"

#include <array>

namespace {

constexpr std::array<uint8_t, 768> Build() {
  std::array<uint8_t, 768> m{};
  for (auto& v : m) v = 0xFF;
  auto set = [&m](int code, int plain, int shift, int alt) {
    m[code] = uint8_t(plain), m[256 + code] = uint8_t(shift), m[512 + code] = uint8_t(alt);
  };
  constexpr int none = 0xFF;
  const char* digits = "1234567890";
  const char* shifted = "!\"#\xA4%&/()=";
  const int alt_digits[10] = {none, '@', 0xA3, '$', none, none, '{', '[', ']', '}'};
  for (int i = 0; i < 10; ++i) set(0x02 + i, uint8_t(digits[i]), uint8_t(shifted[i]), alt_digits[i]);
  set(0x0C, '+', '?', '\\');
  set(0x0D, 0xB4, '`', none);
  set(0x0F, ' ', none, none);
  const char* top = "qwertyuiop";
  for (int i = 0; i < 10; ++i) set(0x10 + i, top[i], top[i] - 32, none);
  set(0x1A, 0xE5, 0xC5, none);
  set(0x1B, 0xA8, '^', '~');
  const char* home = "asdfghjkl";
  for (int i = 0; i < 9; ++i) set(0x1E + i, home[i], home[i] - 32, none);
  set(0x27, 0xF6, 0xD6, none);
  set(0x28, 0xE4, 0xC4, none);
  set(0x29, 0xA7, 0xBD, none);
  set(0x2B, '\'', '*', none);
  const char* bottom = "zxcvbnm";
  for (int i = 0; i < 7; ++i) set(0x2C + i, bottom[i], bottom[i] - 32, none);
  set(0x33, ',', ';', none);
  set(0x34, '.', ':', none);
  set(0x35, '-', '_', none);
  set(0x37, '*', '*', none);
  set(0x39, ' ', ' ', none);
  const int keypad[][2] = {{0x47, '7'}, {0x48, '8'}, {0x49, '9'}, {0x4A, '-'}, {0x4B, '4'}, {0x4C, '5'},
                           {0x4D, '6'}, {0x4E, '+'}, {0x4F, '1'}, {0x50, '2'}, {0x51, '3'}, {0x52, '0'}};
  for (auto& k : keypad) set(k[0], k[1], k[1], none);
  set(0x53, ',', none, none);
  return m;
}

constexpr std::array<uint8_t, 768> kTable = Build();

}  // namespace

const uint8_t* const keymap = kTable.data();

int keymap_level(const uint8_t* key_state) {
  if (key_state[0x38] || key_state[0xB8]) return 2;
  if (key_state[0x2A] || key_state[0x36]) return 1;
  return 0;
}
