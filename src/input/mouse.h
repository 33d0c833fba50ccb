#pragma once
// The mouse: a second DirectInput device, exclusive and in the foreground, whose
// buffered events the driver drains once per update step.

#include "winapi/dinput.h"

extern IDirectInputDevice7* g_pDIMouse;
extern HANDLE g_hMouseEvent;

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

HRESULT DxInitMouse();
int DxAcquireMouse();
// Releases the mouse device and closes its event (before DirectInput goes).
void DxReleaseMouse();
