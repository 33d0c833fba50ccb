// DirectInput keyboard and mouse on the host's input events.
#include "winapi/dinput.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <vector>

#include "host/clock.h"
#include "host/event.h"
#include "host/window.h"
#include "winapi/internal.h"
#include "winapi/scan_codes.h"
#include "winapi/testing.h"

namespace {

struct InputState {
  uint8_t keys[256] = {};
  std::vector<IDirectInputDevice7*> devices;
  std::deque<DIDEVICEOBJECTDATA> mouse_events;
  DWORD sequence = 0;
  bool observing = false;
  bool fail_next_create = false;
};
InputState& input() {
  static auto* s = new InputState();
  return *s;
}

IDirectInputDevice7* AcquiredMouse() {
  for (IDirectInputDevice7* d : input().devices)
    if (d->mouse && d->acquired && !d->lost) return d;
  return nullptr;
}

void BufferMouse(DWORD offset, DWORD data) {
  IDirectInputDevice7* m = AcquiredMouse();
  if (!m || input().mouse_events.size() >= m->buffer_size) return;  // a full buffer drops new events
  input().mouse_events.push_back(DIDEVICEOBJECTDATA{offset, data, host::InputTicks(), ++input().sequence});
  if (m->event) SetEvent(m->event);
}

void Observe(const host::Event& e) {
  switch (e.type) {
    case host::EventType::kKey:
      if (uint8_t dik = winapi::PcScanCode(e.key)) input().keys[dik] = e.down ? 0x80 : 0;
      break;
    case host::EventType::kMouseMotion:
      if (e.dx) BufferMouse(DIMOFS_X, DWORD(e.dx));
      if (e.dy) BufferMouse(DIMOFS_Y, DWORD(e.dy));
      break;
    case host::EventType::kMouseButton: {
      const DWORD offset = e.button == host::MouseButton::kLeft     ? DIMOFS_BUTTON0
                           : e.button == host::MouseButton::kRight  ? DIMOFS_BUTTON1
                           : e.button == host::MouseButton::kMiddle ? DIMOFS_BUTTON2
                                                                    : DIMOFS_BUTTON3;
      BufferMouse(offset, e.down ? 0x80 : 0);
      break;
    }
    case host::EventType::kMouseWheel:
      if (e.wheel) BufferMouse(DIMOFS_Z, DWORD(e.wheel * 120));
      break;
    default: break;
  }
}

// The window left or came back to the foreground. Leaving loses every acquired
// device, as DirectInput does, and forgets the keys held.
void Foreground(bool foreground) {
  if (foreground) return;
  for (IDirectInputDevice7* d : input().devices)
    if (d->acquired) d->lost = true;
  std::memset(input().keys, 0, sizeof input().keys);
  input().mouse_events.clear();
  host::SetRelativeMouse(false);
}

void EnsureObserving() {
  if (input().observing) return;
  input().observing = true;
  // After the player's own keys, beside the window's messages.
  host::ListenToEvents([](const host::Event& e) {
    Observe(e);
    return false;
  });
  winapi::detail::AddForegroundObserver(Foreground);
}

}  // namespace

namespace winapi::testing {
void FailNextDirectInputCreate() { input().fail_next_create = true; }
void FeedInputEvent(const host::Event& event) { Observe(event); }
}  // namespace winapi::testing

HRESULT DirectInputCreateA(HINSTANCE, DWORD version, IDirectInput7** out, void*) {
  if (!out) return DIERR_INVALIDPARAM;
  *out = nullptr;
  if (input().fail_next_create) {
    input().fail_next_create = false;
    return DIERR_DEVICENOTREG;
  }
  if (version > 0x0700) return DIERR_NOTINITIALIZED;
  EnsureObserving();
  *out = new IDirectInput7();
  return DI_OK;
}

HRESULT IDirectInput7::CreateDevice(const GUID& device, IDirectInputDevice7** out, void*) {
  if (!out) return DIERR_INVALIDPARAM;
  const bool keyboard = std::memcmp(&device, &GUID_SysKeyboard, sizeof(GUID)) == 0;
  const bool mouse = std::memcmp(&device, &GUID_SysMouse, sizeof(GUID)) == 0;
  if (!keyboard && !mouse) return DIERR_DEVICENOTREG;
  auto* d = new IDirectInputDevice7();
  d->mouse = mouse;
  input().devices.push_back(d);
  *out = d;
  return DI_OK;
}

ULONG IDirectInput7::Release() {
  delete this;
  return 0;
}

HRESULT IDirectInputDevice7::SetDataFormat(const DIDATAFORMAT* f) {
  if (!f || f->dwDataSize != (mouse ? c_dfDIMouse.dwDataSize : c_dfDIKeyboard.dwDataSize)) return DIERR_INVALIDPARAM;
  format = f;
  return DI_OK;
}

HRESULT IDirectInputDevice7::SetCooperativeLevel(HWND window, DWORD flags) {
  if (!window) return DIERR_INVALIDPARAM;
  cooperative = flags;
  return DI_OK;
}

HRESULT IDirectInputDevice7::Acquire() {
  if (!format) return DIERR_INVALIDPARAM;
  if ((cooperative & DISCL_FOREGROUND) && !winapi::detail::WindowInForeground()) return DIERR_OTHERAPPHASPRIO;
  // A lost keyboard stays lost until it is made again; a lost mouse comes back
  // when acquired in the foreground.
  if (lost && !mouse) return DIERR_INPUTLOST;
  lost = false;
  acquired = true;
  if (mouse && (cooperative & DISCL_EXCLUSIVE)) host::SetRelativeMouse(true);
  return DI_OK;
}

HRESULT IDirectInputDevice7::Unacquire() {
  if (!acquired) return DI_BUFFEROVERFLOW;  // DI_NOEFFECT
  acquired = false;                         // a lost device stays marked lost
  if (mouse) {
    host::SetRelativeMouse(false);
    input().mouse_events.clear();
  }
  return DI_OK;
}

HRESULT IDirectInputDevice7::GetDeviceState(DWORD size, void* data) {
  host::NoteLoopActivity();
  if (mouse || !data || size != 256) return DIERR_INVALIDPARAM;
  if (lost) return DIERR_INPUTLOST;
  if (!acquired) return DIERR_NOTACQUIRED;
  std::memcpy(data, input().keys, 256);
  return DI_OK;
}

HRESULT IDirectInputDevice7::GetDeviceData(DWORD object_size, DIDEVICEOBJECTDATA* data, DWORD* count, DWORD) {
  if (!mouse || !count || object_size != sizeof(DIDEVICEOBJECTDATA)) return DIERR_INVALIDPARAM;
  if (lost) {
    *count = 0;
    return DIERR_INPUTLOST;
  }
  if (!acquired) {
    *count = 0;
    return DIERR_NOTACQUIRED;
  }
  DWORD n = 0;
  while (n < *count && !input().mouse_events.empty()) {
    if (data) data[n] = input().mouse_events.front();
    input().mouse_events.pop_front();
    ++n;
  }
  *count = n;
  return DI_OK;
}

HRESULT IDirectInputDevice7::SetEventNotification(HANDLE e) {
  event = e;
  return DI_OK;
}

HRESULT IDirectInputDevice7::SetProperty(const DiProperty* property, const DIPROPHEADER* header) {
  if (property != DIPROP_BUFFERSIZE || !header || header->dwSize != sizeof(DIPROPDWORD) ||
      header->dwHeaderSize != sizeof(DIPROPHEADER) || header->dwHow != DIPH_DEVICE)
    return DIERR_INVALIDPARAM;
  buffer_size = reinterpret_cast<const DIPROPDWORD*>(header)->dwData;
  return DI_OK;
}

ULONG IDirectInputDevice7::Release() {
  if (acquired) Unacquire();
  auto& list = input().devices;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  delete this;
  return 0;
}

namespace {
struct EventObject {
  bool signalled = false;
};
}  // namespace

HANDLE CreateEventA(void*, BOOL, BOOL initial_state, const char*) { return new EventObject{initial_state != 0}; }

BOOL SetEvent(HANDLE event) {
  if (!event) return 0;
  static_cast<EventObject*>(event)->signalled = true;
  return 1;
}

BOOL CloseHandle(HANDLE handle) {
  delete static_cast<EventObject*>(handle);
  return handle ? 1 : 0;
}
