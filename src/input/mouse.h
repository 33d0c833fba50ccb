#pragma once
// The mouse record. Placeholder until the input devices land: polls see nothing.

class mouse {
 public:
  int poll();
  void move(int dx, int dy);

  int x = 0, y = 0;
  int previous_x = 0, previous_y = 0;
  int left = 0, right = 0, middle = 0;
  int last_dx = 0, last_dy = 0;
};

extern mouse g_mouse;
