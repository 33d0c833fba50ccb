// Windows, the message queue and the window timer on the host's windows. The
// host's events become the messages the window procedure handles: closing a
// window is WM_CLOSE, a key press WM_KEYDOWN with its Windows virtual-key code,
// minimise, restore and focus changes WM_ACTIVATE with the minimised flag in the
// high word of wParam.
#include "host/window.h"

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/clock.h"
#include "host/event.h"
#include "host/last_error.h"
#include "winapi/internal.h"
#include "winapi/scan_codes.h"
#include "winapi/testing.h"
#include "winapi/win32.h"
#include "winapi/window_extras.h"

struct HWND__ {
  host::Window* window = nullptr;  // null once a newer window retired it
  WNDPROC proc = nullptr;
  bool minimised = false;
};

namespace winapi {
namespace {

struct Timer {
  HWND window;
  uintptr_t id;
  DWORD interval;
  DWORD last;
};

struct WindowSystem {
  std::map<std::string, WNDCLASSA> classes;
  std::vector<std::unique_ptr<HWND__>> windows;  // never destroyed before Shutdown
  std::deque<MSG> queue;
  std::vector<Timer> timers;
  std::vector<std::function<void()>> minimise_observers;
  std::vector<std::function<void(bool)>> foreground_observers;
  bool listening = false;
  HWND focus = nullptr;
  bool foreground = false;
};
WindowSystem& ws() {
  static WindowSystem s;
  return s;
}

HWND FindWindow(const host::Window* window) {
  if (!window) return nullptr;
  for (auto& w : ws().windows)
    if (w->window == window) return w.get();
  return nullptr;
}

HWND Newest() { return ws().windows.empty() ? nullptr : ws().windows.back().get(); }

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ws().queue.push_back(MSG{window, message, wParam, lParam, host::CurrentTick(), POINT{0, 0}});
}

void PostActivate(HWND window, WORD state, bool minimised) {
  const bool foreground = state != WA_INACTIVE && !minimised;
  if (foreground != ws().foreground) {
    ws().foreground = foreground;
    for (auto& observe : ws().foreground_observers) observe(foreground);
  }
  Post(window, WM_ACTIVATE, static_cast<WPARAM>(state) | (minimised ? 0x10000u : 0u), 0);
}

void Minimised(HWND window) {
  window->minimised = true;
  for (auto& observe : ws().minimise_observers) observe();
  PostActivate(window, WA_INACTIVE, true);
}

void PostKey(const host::Event& e) {
  HWND w = FindWindow(e.window);
  if (!w) w = Newest();
  const WPARAM vk = VirtualKeyOf(e.key);
  if (!w || !vk) return;
  // As on Windows: the set-1 scan code in bits 16-23, bit 24 for extended keys.
  const uint8_t dik = PcScanCode(e.key);
  LPARAM lp = 1 | (static_cast<LPARAM>(dik & 0x7F) << 16) | (dik & 0x80 ? LPARAM(1) << 24 : 0);
  if (!e.down)
    lp |= LPARAM(3) << 30;
  else if (e.repeat)
    lp |= LPARAM(1) << 30;
  Post(w, e.down ? WM_KEYDOWN : WM_KEYUP, vk, lp);
}

void PostWindowChange(HWND w, host::EventType type) {
  switch (type) {
    case host::EventType::kMinimised: Minimised(w); break;
    case host::EventType::kRestored:
      if (w->minimised) {
        w->minimised = false;
        PostActivate(w, WA_ACTIVE, false);
      }
      break;
    case host::EventType::kFocusGained:
      if (!w->minimised) PostActivate(w, WA_ACTIVE, false);
      break;
    case host::EventType::kFocusLost: PostActivate(w, WA_INACTIVE, w->minimised); break;
    case host::EventType::kPointerEntered: Post(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), 1); break;
    case host::EventType::kClose: Post(w, WM_CLOSE, 0, 0); break;
    default: break;
  }
}

// Every event the player has not taken becomes the window's message; the input
// devices listen to it too.
bool Translate(const host::Event& e) {
  if (e.type == host::EventType::kQuit) {
    if (HWND w = Newest()) Post(w, WM_CLOSE, 0, 0);
  } else if (e.type == host::EventType::kKey) {
    PostKey(e);
  } else if (HWND w = FindWindow(e.window)) {
    PostWindowChange(w, e.type);
  }
  return false;
}

void ListenOnce() {
  if (ws().listening) return;
  ws().listening = true;
  host::ListenToEvents(Translate);
}

// WM_TIMER is generated, not queued: only when nothing else waits, at most one
// per interval, as Windows does.
bool TakeTimer(MSG* msg, bool any_time) {
  DWORD now = host::CurrentTick();
  for (Timer& t : ws().timers) {
    if (any_time || now - t.last >= t.interval) {
      t.last = now;
      *msg = MSG{t.window, WM_TIMER, t.id, 0, now, POINT{0, 0}};
      return true;
    }
  }
  return false;
}

bool Take(MSG* msg, UINT remove) {
  host::PumpEvents();
  if (!ws().queue.empty()) {
    *msg = ws().queue.front();
    if (remove & PM_REMOVE) ws().queue.pop_front();
    return true;
  }
  return TakeTimer(msg, false);
}

}  // namespace

namespace detail {
host::Window* HostWindowOf(HWND window) { return window ? window->window : nullptr; }

bool WindowInForeground() { return ws().foreground; }

void AddMinimiseObserver(std::function<void()> observer) { ws().minimise_observers.push_back(std::move(observer)); }
void AddForegroundObserver(std::function<void(bool)> observer) {
  ws().foreground_observers.push_back(std::move(observer));
}

}  // namespace detail

void Shutdown() {
  host::ShutDown();
  ws().windows.clear();
  ws().classes.clear();
  ws().queue.clear();
  ws().timers.clear();
  ws().focus = nullptr;
  ws().foreground = false;
}

namespace testing {

int WindowCount() { return static_cast<int>(ws().windows.size()); }

int ShownWindowCount() {
  int n = 0;
  for (auto& w : ws().windows) n += w->window != nullptr;
  return n;
}

void SimulateMinimise(HWND window) { Minimised(window); }

void SimulateRestore(HWND window) {
  window->minimised = false;
  PostActivate(window, WA_ACTIVE, false);
}

}  // namespace testing
}  // namespace winapi

using winapi::ws;

ATOM RegisterClassA(const WNDCLASSA* wc) {
  if (!wc || !wc->lpszClassName || ws().classes.count(wc->lpszClassName)) return 0;
  ws().classes[wc->lpszClassName] = *wc;
  return static_cast<ATOM>(ws().classes.size());
}

HWND CreateWindowExA(DWORD, const char* className, const char* title, DWORD, int, int, int width, int height, HWND,
                     HMENU, HINSTANCE, void*) {
  auto cls = ws().classes.find(className ? className : "");
  if (cls == ws().classes.end()) {
    host::SetLastErrorText("window class not registered");
    return nullptr;
  }
  host::Window* window = host::OpenWindow(title, width, height);
  if (!window) return nullptr;
  // A new main window retires the earlier ones (F8 makes one each time): they stay
  // as objects whose handles remain valid, but their host windows, and with them
  // their presentation buffers, are gone, so memory stays flat.
  for (auto& old : ws().windows) {
    host::CloseWindow(old->window);
    old->window = nullptr;
  }
  winapi::ListenOnce();
  auto w = std::make_unique<HWND__>();
  w->window = window;
  w->proc = cls->second.lpfnWndProc;
  ws().windows.push_back(std::move(w));
  return ws().windows.back().get();
}

BOOL ShowWindow(HWND window, int) {
  if (!window) return 0;
  host::ShowWindow(window->window);
  // Showing a window activates it; Windows sends WM_ACTIVATE before returning.
  ws().foreground = true;
  if (window->proc) window->proc(window, WM_ACTIVATE, WA_ACTIVE, 0);
  return 0;
}

BOOL UpdateWindow(HWND window) { return window ? 1 : 0; }

HWND SetFocus(HWND window) {
  HWND previous = ws().focus;
  if (window) host::RaiseWindow(window->window);
  ws().focus = window;
  return previous;
}

HCURSOR LoadCursorA(HINSTANCE, const char*) {
  static int arrow;
  return reinterpret_cast<HCURSOR>(&arrow);
}

HCURSOR SetCursor(HCURSOR cursor) {
  static HCURSOR current = LoadCursorA(nullptr, IDC_ARROW);
  HCURSOR previous = current;
  current = cursor;
  host::ShowPointer(cursor != nullptr);
  return previous;
}

HGDIOBJ GetStockObject(int) {
  static int black;
  return reinterpret_cast<HGDIOBJ>(&black);
}

HACCEL LoadAcceleratorsA(HINSTANCE, const char*) { return nullptr; }

int GetSystemMetrics(int index) {
  int width = 0, height = 0;
  if (!host::DesktopSize(width, height)) return 0;
  if (index == SM_CXSCREEN) return width;
  if (index == SM_CYSCREEN) return height;
  return 0;
}

BOOL PeekMessageA(MSG* msg, HWND, UINT, UINT, UINT removeMsg) {
  host::NoteLoopActivity();
  return winapi::Take(msg, removeMsg) ? 1 : 0;
}

BOOL GetMessageA(MSG* msg, HWND, UINT, UINT) {
  if (!msg) return -1;
  for (;;) {
    if (winapi::Take(msg, PM_REMOVE)) return msg->message == WM_QUIT ? 0 : 1;
    // A clock that does not run by itself never makes the timer due; its WM_TIMER
    // comes at once instead of blocking for good.
    if (host::VirtualClockInUse() && winapi::TakeTimer(msg, true)) return 1;
    if (!host::DisplayStarted() && ws().timers.empty()) return -1;
    host::WaitForEvents(5);
  }
}

BOOL WaitMessage() {
  MSG m;
  for (;;) {
    if (winapi::Take(&m, PM_NOREMOVE)) return 1;
    if (host::VirtualClockInUse()) return 1;
    host::WaitForEvents(5);
  }
}

BOOL TranslateMessage(const MSG*) { return 0; }

LRESULT DispatchMessageA(const MSG* msg) {
  if (!msg || !msg->hwnd || !msg->hwnd->proc) return 0;
  return msg->hwnd->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

int TranslateAcceleratorA(HWND, HACCEL, MSG*) { return 0; }

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  winapi::Post(window, message, wParam, lParam);
  return 1;
}

LRESULT DefWindowProcA(HWND, UINT, WPARAM, LPARAM) { return 0; }

uintptr_t SetTimer(HWND window, uintptr_t id, UINT interval, TIMERPROC) {
  DWORD ms = interval < 10 ? 10 : interval;
  for (auto& t : ws().timers)
    if (t.window == window && t.id == id) {
      t.interval = ms;
      return id;
    }
  ws().timers.push_back({window, id, ms, host::CurrentTick()});
  return id ? id : 1;
}

int MessageBoxA(HWND, const char* text, const char* caption, UINT) {
  std::fprintf(stderr, "%s %s\n", caption ? caption : "", text ? text : "");
  return IDOK;
}

void OutputDebugStringA(const char* text) {
  if (text && std::getenv("VELMORA_DEBUG_OUTPUT")) std::fputs(text, stderr);
}
