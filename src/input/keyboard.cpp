#include "input/keyboard.h"

#include <cstring>

uint8_t g_KeyState[256];

bool init_input() { return true; }

bool DxReadKeyb() {
  std::memset(g_KeyState, 0, sizeof g_KeyState);
  return true;
}

void DxReleaseKeyb() {}
