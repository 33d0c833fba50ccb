// Windows, the message queue and the window timer on SDL2. SDL events become the
// messages the window procedure handles: closing a window is WM_CLOSE, a key press
// WM_KEYDOWN with its Windows virtual-key code, minimise, restore and focus changes
// WM_ACTIVATE with the minimised flag in the high word of wParam.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/clock.h"
#include "host/last_error.h"
#include "host/settings.h"
#include "host/video_start.h"
#include "host/web_page.h"
#include "host/window_presenter.h"
#include "host/window_shape.h"
#include "winapi/internal.h"
#include "winapi/scan_codes.h"
#include "winapi/testing.h"
#include "winapi/win32.h"
#include "winapi/window_extras.h"

struct HWND__ {
  SDL_Window* sdl = nullptr;
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
  std::vector<std::function<void(const SDL_Event&)>> observers;
  std::vector<std::function<void()>> minimise_observers;
  std::vector<std::function<void(bool)>> foreground_observers;
  std::function<bool(const KeyPress&)> key_filter;
  HWND focus = nullptr;
  bool foreground = false;
};
WindowSystem& ws() {
  static WindowSystem s;
  return s;
}

HWND FindWindow(Uint32 sdl_id) {
  for (auto& w : ws().windows)
    if (w->sdl && SDL_GetWindowID(w->sdl) == sdl_id) return w.get();
  return nullptr;
}

HWND Newest() { return ws().windows.empty() ? nullptr : ws().windows.back().get(); }

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ws().queue.push_back(MSG{window, message, wParam, lParam, host::CurrentTick(), POINT{0, 0}});
}

WPARAM VirtualKeyOf(SDL_Scancode sc) {
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return 'A' + (sc - SDL_SCANCODE_A);
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return '1' + (sc - SDL_SCANCODE_1);
  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return VK_F1 + (sc - SDL_SCANCODE_F1);
  if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9) return VK_NUMPAD0 + 1 + (sc - SDL_SCANCODE_KP_1);
  switch (sc) {
    case SDL_SCANCODE_0: return '0';
    case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER: return VK_RETURN;
    case SDL_SCANCODE_BACKSPACE: return VK_BACK;
    case SDL_SCANCODE_TAB: return VK_TAB;
    case SDL_SCANCODE_SPACE: return VK_SPACE;
    case SDL_SCANCODE_LEFT: return VK_LEFT;
    case SDL_SCANCODE_RIGHT: return VK_RIGHT;
    case SDL_SCANCODE_UP: return VK_UP;
    case SDL_SCANCODE_DOWN: return VK_DOWN;
    case SDL_SCANCODE_INSERT: return VK_INSERT;
    case SDL_SCANCODE_DELETE: return VK_DELETE;
    case SDL_SCANCODE_HOME: return VK_HOME;
    case SDL_SCANCODE_END: return VK_END;
    case SDL_SCANCODE_PAGEUP: return VK_PRIOR;
    case SDL_SCANCODE_PAGEDOWN: return VK_NEXT;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT: return VK_SHIFT;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL: return VK_CONTROL;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT: return VK_MENU;
    case SDL_SCANCODE_LGUI: return VK_LWIN;
    case SDL_SCANCODE_RGUI: return VK_RWIN;
    case SDL_SCANCODE_APPLICATION: return VK_APPS;
    case SDL_SCANCODE_CAPSLOCK: return VK_CAPITAL;
    case SDL_SCANCODE_NUMLOCKCLEAR: return VK_NUMLOCK;
    case SDL_SCANCODE_SCROLLLOCK: return VK_SCROLL;
    case SDL_SCANCODE_PAUSE: return VK_PAUSE;
    case SDL_SCANCODE_PRINTSCREEN: return VK_SNAPSHOT;
    case SDL_SCANCODE_KP_0: return VK_NUMPAD0;
    case SDL_SCANCODE_KP_MULTIPLY: return VK_MULTIPLY;
    case SDL_SCANCODE_KP_PLUS: return VK_ADD;
    case SDL_SCANCODE_KP_MINUS: return VK_SUBTRACT;
    case SDL_SCANCODE_KP_PERIOD: return VK_DECIMAL;
    case SDL_SCANCODE_KP_DIVIDE: return VK_DIVIDE;
    case SDL_SCANCODE_SEMICOLON: return VK_OEM_1;
    case SDL_SCANCODE_EQUALS: return VK_OEM_PLUS;
    case SDL_SCANCODE_COMMA: return VK_OEM_COMMA;
    case SDL_SCANCODE_MINUS: return VK_OEM_MINUS;
    case SDL_SCANCODE_PERIOD: return VK_OEM_PERIOD;
    case SDL_SCANCODE_SLASH: return VK_OEM_2;
    case SDL_SCANCODE_GRAVE: return VK_OEM_3;
    case SDL_SCANCODE_LEFTBRACKET: return VK_OEM_4;
    case SDL_SCANCODE_BACKSLASH: return VK_OEM_5;
    case SDL_SCANCODE_RIGHTBRACKET: return VK_OEM_6;
    case SDL_SCANCODE_APOSTROPHE: return VK_OEM_7;
    case SDL_SCANCODE_NONUSBACKSLASH: return VK_OEM_102;
    default: return 0;
  }
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

void Translate(const SDL_Event& e) {
  switch (e.type) {
    case SDL_QUIT:
      if (HWND w = Newest()) Post(w, WM_CLOSE, 0, 0);
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      HWND w = FindWindow(e.key.windowID);
      if (!w) w = Newest();
      const WPARAM vk = VirtualKeyOf(e.key.keysym.scancode);
      const KeyPress press{w, vk, (e.key.keysym.mod & KMOD_ALT) != 0, e.type == SDL_KEYDOWN, e.key.repeat != 0};
      if (vk && ws().key_filter && ws().key_filter(press)) break;
      if (!w || !vk) break;
      // As on Windows: the set-1 scan code in bits 16-23, bit 24 for extended keys.
      const uint8_t dik = PcScanCode(e.key.keysym.scancode);
      LPARAM lp = 1 | (static_cast<LPARAM>(dik & 0x7F) << 16) | (dik & 0x80 ? LPARAM(1) << 24 : 0);
      if (e.type == SDL_KEYUP)
        lp |= LPARAM(3) << 30;
      else if (e.key.repeat)
        lp |= LPARAM(1) << 30;
      Post(w, e.type == SDL_KEYDOWN ? WM_KEYDOWN : WM_KEYUP, vk, lp);
      break;
    }
    case SDL_WINDOWEVENT: {
      HWND w = FindWindow(e.window.windowID);
      if (!w) break;
      if (w->sdl) {
        host::WindowChanged(w->sdl);
        if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) host::NoteWindowSize(w->sdl);
      }
      switch (e.window.event) {
        case SDL_WINDOWEVENT_MINIMIZED: Minimised(w); break;
        case SDL_WINDOWEVENT_RESTORED:
          if (w->minimised) {
            w->minimised = false;
            PostActivate(w, WA_ACTIVE, false);
          }
          break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          if (!w->minimised) PostActivate(w, WA_ACTIVE, false);
          break;
        case SDL_WINDOWEVENT_FOCUS_LOST: PostActivate(w, WA_INACTIVE, w->minimised); break;
        case SDL_WINDOWEVENT_ENTER: Post(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), 1); break;
        case SDL_WINDOWEVENT_CLOSE: Post(w, WM_CLOSE, 0, 0); break;
        default: break;
      }
      break;
    }
    default: break;
  }
}

void Pump() {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  // The system is asked for new events at most once a millisecond: on the
  // virtual clock the loop looks many times a millisecond, and every look is a
  // round of calls to the display server. Events SDL queues itself are taken at
  // once.
  static Uint64 last_pump = 0;
  if (const Uint64 now = SDL_GetTicks64(); now != last_pump) {
    SDL_PumpEvents();
    last_pump = now;
  }
  SDL_Event e;
  while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
    for (auto& observe : ws().observers) observe(e);
    Translate(e);
  }
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
  Pump();
  if (!ws().queue.empty()) {
    *msg = ws().queue.front();
    if (remove & PM_REMOVE) ws().queue.pop_front();
    return true;
  }
  return TakeTimer(msg, false);
}

}  // namespace

namespace detail {
void PumpEvents() { Pump(); }

SDL_Window* SdlWindowOf(HWND window) { return window ? window->sdl : nullptr; }

bool WindowInForeground() { return ws().foreground; }

void AddEventObserver(std::function<void(const SDL_Event&)> observer) { ws().observers.push_back(std::move(observer)); }
void AddMinimiseObserver(std::function<void()> observer) { ws().minimise_observers.push_back(std::move(observer)); }
void AddForegroundObserver(std::function<void(bool)> observer) {
  ws().foreground_observers.push_back(std::move(observer));
}

}  // namespace detail

void SetKeyFilter(std::function<bool(const KeyPress&)> filter) { ws().key_filter = std::move(filter); }

void ToggleFullScreen(HWND window) { host::ToggleFullScreen(window ? window->sdl : nullptr); }

void Shutdown() {
  for (auto& w : ws().windows)
    if (w->sdl) {
      host::ForgetWindow(w->sdl);
      SDL_DestroyWindow(w->sdl);
    }
  ws().windows.clear();
  ws().classes.clear();
  ws().queue.clear();
  ws().timers.clear();
  ws().focus = nullptr;
  ws().foreground = false;
  SDL_Quit();
  host::ForgetVideoStart();
}

namespace testing {

int WindowCount() { return static_cast<int>(ws().windows.size()); }

int ShownWindowCount() {
  int n = 0;
  for (auto& w : ws().windows) n += w->sdl != nullptr;
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

HWND CreateWindowExA(DWORD, const char* className, const char* title, DWORD, int x, int y, int width, int height, HWND,
                     HMENU, HINSTANCE, void*) {
  auto cls = ws().classes.find(className ? className : "");
  if (cls == ws().classes.end()) {
    host::SetLastErrorText("window class not registered");
    return nullptr;
  }
  if (!host::EnsureVideo()) return nullptr;
  Uint32 flags = SDL_WINDOW_HIDDEN;
  if (host::Windowed()) {
    width = host::WindowedWidth();
    height = host::WindowedHeight();
    x = y = SDL_WINDOWPOS_CENTERED;
    // A resizable canvas would take the size the page gives it; it keeps the mode's.
    if (!host::kInWebPage) flags |= SDL_WINDOW_RESIZABLE;
  } else {
    flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  }
  SDL_Window* sdl = SDL_CreateWindow(title ? title : "", x, y, width > 0 ? width : 1, height > 0 ? height : 1, flags);
  if (!sdl) {
    host::SetLastErrorText(std::string("cannot create a window (") + SDL_GetError() + ")");
    return nullptr;
  }
  // A new main window retires the earlier ones (F8 makes one each time): they stay
  // as objects whose handles remain valid, but their SDL windows, and with them
  // their presentation buffers, are gone, so memory stays flat.
  for (auto& old : ws().windows)
    if (old->sdl) {
      host::ForgetWindow(old->sdl);
      SDL_DestroyWindow(old->sdl);
      old->sdl = nullptr;
    }
  // A read of the clock that waits out a pause keeps taking this window's events.
  host::SetPausedWaitPump(winapi::detail::PumpEvents);
  auto w = std::make_unique<HWND__>();
  w->sdl = sdl;
  w->proc = cls->second.lpfnWndProc;
  ws().windows.push_back(std::move(w));
  return ws().windows.back().get();
}

BOOL ShowWindow(HWND window, int) {
  if (!window) return 0;
  if (window->sdl) SDL_ShowWindow(window->sdl);
  // Showing a window activates it; Windows sends WM_ACTIVATE before returning.
  ws().foreground = true;
  if (window->proc) window->proc(window, WM_ACTIVATE, WA_ACTIVE, 0);
  return 0;
}

BOOL UpdateWindow(HWND window) { return window ? 1 : 0; }

HWND SetFocus(HWND window) {
  HWND previous = ws().focus;
  if (window && window->sdl) SDL_RaiseWindow(window->sdl);
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
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(cursor ? SDL_ENABLE : SDL_DISABLE);
  return previous;
}

HGDIOBJ GetStockObject(int) {
  static int black;
  return reinterpret_cast<HGDIOBJ>(&black);
}

HACCEL LoadAcceleratorsA(HINSTANCE, const char*) { return nullptr; }

int GetSystemMetrics(int index) {
  if (!host::EnsureVideo()) return 0;
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return 0;
  if (index == SM_CXSCREEN) return mode.w;
  if (index == SM_CYSCREEN) return mode.h;
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
    if (SDL_WasInit(SDL_INIT_VIDEO))
      SDL_WaitEventTimeout(nullptr, 5);
    else if (ws().timers.empty())
      return -1;
    else
      SDL_Delay(1);
  }
}

BOOL WaitMessage() {
  MSG m;
  for (;;) {
    if (winapi::Take(&m, PM_NOREMOVE)) return 1;
    if (host::VirtualClockInUse()) return 1;
    if (SDL_WasInit(SDL_INIT_VIDEO))
      SDL_WaitEventTimeout(nullptr, 5);
    else
      SDL_Delay(1);
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
