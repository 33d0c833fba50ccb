#include "input/keyboard.h"

#include <cstring>

#include "app/window_globals.h"
#include "base/logfile.h"
#include "input/mouse.h"

IDirectInput7* g_pDI = nullptr;
IDirectInputDevice7* g_pDIKeyb = nullptr;
uint8_t g_KeyState[256];

namespace {

void ReleaseKeyboardDevice() {
  if (!g_pDIKeyb) return;
  g_pDIKeyb->Unacquire();
  g_pDIKeyb->Release();
  g_pDIKeyb = nullptr;
}
}  // namespace

bool init_input() {
  log_input.print("init_input()...\n");
  HRESULT hr = DirectInputCreateA(g_hInstance, 0x0700, &g_pDI, nullptr);
  log_input.status(FAILED(hr) ? "ERROR" : "OK", "DirectInputCreate(%lu, 0x0700, %lu, NULL)", LogId(&g_hInstance),
                   LogId(&g_pDI));
  if (FAILED(hr)) return false;
  if (!DxInitKeyb()) {
    log_input.status("ERROR", "DxInitKeyb()");
    return false;
  }
  DxInitMouse();
  DxAcquireMouse();
  log_input.status("OK", "init_input()");
  return true;
}

bool DxInitKeyb() {
  log_input.print("DxInitKeyb()...\n");
  // Every failing step releases DirectInput as well.
  auto step = [](HRESULT hr, const char* format, auto... args) {
    log_input.status(FAILED(hr) ? "ERROR" : "OK", format, args...);
    if (FAILED(hr)) DxReleaseKeyb();
    return SUCCEEDED(hr);
  };
  if (!g_pDI) return false;
  if (!step(g_pDI->CreateDevice(GUID_SysKeyboard, &g_pDIKeyb, nullptr), "g_pDI (%lu) CreateDevice(%lu, %lu, NULL)",
            LogId(g_pDI), LogId(&GUID_SysKeyboard), LogId(&g_pDIKeyb)))
    return false;
  if (!step(g_pDIKeyb->SetDataFormat(&c_dfDIKeyboard), "g_pDIKeyb (%lu) SetDataFormat(%lu)", LogId(g_pDIKeyb),
            LogId(&c_dfDIKeyboard)))
    return false;
  if (!step(g_pDIKeyb->SetCooperativeLevel(hWnd, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND),
            "g_pDIKeyb (%lu) SetCooperativeLevel(%lu,%lu)", LogId(g_pDIKeyb), LogId(hWnd),
            static_cast<unsigned long>(DISCL_NONEXCLUSIVE | DISCL_FOREGROUND)))
    return false;
  if (!step(g_pDIKeyb->Acquire(), "g_pDIKeyb (%lu) Acquire()", LogId(g_pDIKeyb))) return false;
  log_input.status("OK", "DxInitKeyb()");
  return true;
}

void DxReleaseKeyb() {
  log_input.print("DxReleaseKeyb()...\n");
  if (g_pDI) {
    ReleaseKeyboardDevice();
    // The mouse is a device of DirectInput too: it goes, with its event, first.
    DxReleaseMouse();
    g_pDI->Release();
    g_pDI = nullptr;
  }
  log_input.status("OK", "DxReleaseKeyb()");
}

bool DxReadKeyb() {
  std::memset(g_KeyState, 0, sizeof g_KeyState);
  // After a failed restore there is no device and reads do nothing, until the
  // window is active again: then input is set up anew, once per activation, since
  // a restore tried while the window was in the background can only fail.
  static bool given_up = false;
  static DWORD given_up_at = 0;
  if (!g_pDIKeyb) {
    if (!given_up || g_dwActivations == given_up_at || !g_bActive) return false;
    given_up_at = g_dwActivations;
    DxReleaseKeyb();  // whatever is left of the old set-up goes first
    if (!init_input()) return false;
    given_up = false;
    return SUCCEEDED(g_pDIKeyb->GetDeviceState(sizeof g_KeyState, g_KeyState));
  }
  HRESULT hr = g_pDIKeyb->GetDeviceState(sizeof g_KeyState, g_KeyState);
  if (SUCCEEDED(hr)) return true;
  std::memset(g_KeyState, 0, sizeof g_KeyState);
  log_input.status("ERROR", "g_pDIKeyb %lu GetDeviceState(%u,%lu)", LogId(g_pDIKeyb),
                   static_cast<unsigned>(sizeof g_KeyState), LogId(g_KeyState));
  log_input.print("restoring keyboard...\n");
  ReleaseKeyboardDevice();  // the lost device goes before its replacement is made
  if (DxInitKeyb()) {
    log_input.status("OK", "restore");
    return true;
  }
  log_input.status("ERROR", "restore");
  given_up = true;
  given_up_at = g_dwActivations;
  return false;
}
