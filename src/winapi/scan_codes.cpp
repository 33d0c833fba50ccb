#include "winapi/scan_codes.h"

#include <SDL.h>

namespace winapi {

uint8_t PcScanCode(int sc) {
  static const uint8_t letters[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                      49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};  // A to Z
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return letters[sc - SDL_SCANCODE_A];
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_0) return uint8_t(2 + (sc - SDL_SCANCODE_1));
  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F10) return uint8_t(59 + (sc - SDL_SCANCODE_F1));
  switch (sc) {
    case SDL_SCANCODE_RETURN: return 28;
    case SDL_SCANCODE_ESCAPE: return 1;
    case SDL_SCANCODE_BACKSPACE: return 14;
    case SDL_SCANCODE_TAB: return 15;
    case SDL_SCANCODE_SPACE: return 57;
    case SDL_SCANCODE_MINUS: return 12;
    case SDL_SCANCODE_EQUALS: return 13;
    case SDL_SCANCODE_LEFTBRACKET: return 26;
    case SDL_SCANCODE_RIGHTBRACKET: return 27;
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSHASH: return 43;
    case SDL_SCANCODE_SEMICOLON: return 39;
    case SDL_SCANCODE_APOSTROPHE: return 40;
    case SDL_SCANCODE_GRAVE: return 41;
    case SDL_SCANCODE_COMMA: return 51;
    case SDL_SCANCODE_PERIOD: return 52;
    case SDL_SCANCODE_SLASH: return 53;
    case SDL_SCANCODE_CAPSLOCK: return 58;
    case SDL_SCANCODE_F11: return 87;
    case SDL_SCANCODE_F12: return 88;
    case SDL_SCANCODE_PRINTSCREEN: return 183;
    case SDL_SCANCODE_SCROLLLOCK: return 70;
    case SDL_SCANCODE_PAUSE: return 197;
    case SDL_SCANCODE_INSERT: return 210;
    case SDL_SCANCODE_HOME: return 199;
    case SDL_SCANCODE_PAGEUP: return 201;
    case SDL_SCANCODE_DELETE: return 211;
    case SDL_SCANCODE_END: return 207;
    case SDL_SCANCODE_PAGEDOWN: return 209;
    case SDL_SCANCODE_RIGHT: return 205;
    case SDL_SCANCODE_LEFT: return 203;
    case SDL_SCANCODE_DOWN: return 208;
    case SDL_SCANCODE_UP: return 200;
    case SDL_SCANCODE_NUMLOCKCLEAR: return 69;
    case SDL_SCANCODE_KP_DIVIDE: return 181;
    case SDL_SCANCODE_KP_MULTIPLY: return 55;
    case SDL_SCANCODE_KP_MINUS: return 74;
    case SDL_SCANCODE_KP_PLUS: return 78;
    case SDL_SCANCODE_KP_ENTER: return 156;
    case SDL_SCANCODE_KP_1: return 79;
    case SDL_SCANCODE_KP_2: return 80;
    case SDL_SCANCODE_KP_3: return 81;
    case SDL_SCANCODE_KP_4: return 75;
    case SDL_SCANCODE_KP_5: return 76;
    case SDL_SCANCODE_KP_6: return 77;
    case SDL_SCANCODE_KP_7: return 71;
    case SDL_SCANCODE_KP_8: return 72;
    case SDL_SCANCODE_KP_9: return 73;
    case SDL_SCANCODE_KP_0: return 82;
    case SDL_SCANCODE_KP_PERIOD: return 83;
    case SDL_SCANCODE_NONUSBACKSLASH: return 86;
    case SDL_SCANCODE_APPLICATION: return 221;
    case SDL_SCANCODE_LCTRL: return 29;
    case SDL_SCANCODE_LSHIFT: return 42;
    case SDL_SCANCODE_LALT: return 56;
    case SDL_SCANCODE_LGUI: return 219;
    case SDL_SCANCODE_RCTRL: return 157;
    case SDL_SCANCODE_RSHIFT: return 54;
    case SDL_SCANCODE_RALT: return 184;
    case SDL_SCANCODE_RGUI: return 220;
    default: return 0;
  }
}

}  // namespace winapi
