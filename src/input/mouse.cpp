#include "input/mouse.h"

#include "app/window_globals.h"
#include "gfx/display.h"
#include "input/keyboard.h"

IDirectInputDevice7* g_pDIMouse = nullptr;
HANDLE g_hMouseEvent = nullptr;
mouse g_mouse;

HRESULT DxInitMouse() {
  if (!g_pDI) return E_FAIL;
  g_hr = g_pDI->CreateDevice(GUID_SysMouse, &g_pDIMouse, nullptr);
  if (FAILED(g_hr)) return g_hr;
  g_hr = g_pDIMouse->SetDataFormat(&c_dfDIMouse);
  if (FAILED(g_hr)) return 0;
  g_hr = g_pDIMouse->SetCooperativeLevel(hWnd, DISCL_EXCLUSIVE | DISCL_FOREGROUND);
  if (FAILED(g_hr)) return 0;
  g_hMouseEvent = CreateEventA(nullptr, 0, 0, nullptr);
  if (!g_hMouseEvent) return 0;
  g_hr = g_pDIMouse->SetEventNotification(g_hMouseEvent);
  if (FAILED(g_hr)) return 0;
  DIPROPDWORD property{};
  property.diph.dwSize = sizeof(DIPROPDWORD);
  property.diph.dwHeaderSize = sizeof(DIPROPHEADER);
  property.diph.dwObj = 0;
  property.diph.dwHow = DIPH_DEVICE;
  property.dwData = 16;
  g_hr = g_pDIMouse->SetProperty(DIPROP_BUFFERSIZE, &property.diph);
  if (FAILED(g_hr)) return 0;
  return 1;
}

int DxAcquireMouse() {
  if (!g_pDI) return 1;
  if (!g_pDIMouse) return 0;
  if (g_bActive)
    g_pDIMouse->Acquire();
  else
    g_pDIMouse->Unacquire();
  return 0;
}

void DxReleaseMouse() {
  if (g_pDIMouse) {
    g_pDIMouse->Unacquire();
    g_pDIMouse->Release();
    g_pDIMouse = nullptr;
  }
  if (g_hMouseEvent) CloseHandle(g_hMouseEvent);
  g_hMouseEvent = nullptr;
}

int mouse::poll() {
  last_dx = last_dy = 0;
  if (!g_pDIMouse) return 1;
  for (;;) {
    DIDEVICEOBJECTDATA od{};
    DWORD count = 1;
    g_hr = g_pDIMouse->GetDeviceData(sizeof od, &od, &count, 0);
    if (g_hr == DIERR_INPUTLOST) {
      DxAcquireMouse();
      return 1;
    }
    if (FAILED(g_hr) || count == 0) return 1;
    switch (od.dwOfs) {
      case DIMOFS_X: move(static_cast<int>(od.dwData), 0); break;
      case DIMOFS_Y: move(0, static_cast<int>(od.dwData)); break;
      case DIMOFS_BUTTON0:
      case DIMOFS_BUTTON1:
      case DIMOFS_BUTTON2: {
        // Each button event clears all three flags first.
        left = right = middle = 0;
        const bool down = od.dwData & 0x80;
        if (od.dwOfs == DIMOFS_BUTTON0 && down) left = 1;
        if (od.dwOfs == DIMOFS_BUTTON1 && down) right = 1;
        if (od.dwOfs == DIMOFS_BUTTON2 && down) middle = 1;
        break;
      }
      default: break;  // the wheel and button 3
    }
  }
}

void mouse::move(int dx, int dy) {
  previous_x = x;
  previous_y = y;
  last_dx = dx;
  last_dy = dy;
  x += dx;
  y += dy;
}
