#include "input/mouse.h"

mouse g_mouse;

int mouse::poll() {
  last_dx = last_dy = 0;
  return 1;
}

void mouse::move(int dx, int dy) {
  previous_x = x;
  previous_y = y;
  last_dx = dx;
  last_dy = dy;
  x += dx;
  y += dy;
}
