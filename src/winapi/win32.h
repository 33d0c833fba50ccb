#pragma once
// Windows types, window and message calls, and the tick count, as the engine uses
// them. Built on the host's windows and clock; see window.cpp and tick_count.cpp.

#include <cstdint>

using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using UINT = unsigned int;
using LONG = int32_t;
using ULONG = uint32_t;
using BOOL = int;
using HRESULT = int32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using ATOM = WORD;
using COLORREF = DWORD;
using HANDLE = void*;

struct HWND__;
using HWND = HWND__*;
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
struct HACCEL__;
using HACCEL = HACCEL__*;
struct HCURSOR__;
using HCURSOR = HCURSOR__*;
using HICON = HCURSOR;
struct HGDIOBJ__;
using HGDIOBJ = HGDIOBJ__*;
using HBRUSH = HGDIOBJ;
struct HMENU__;
using HMENU = HMENU__*;

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
inline bool FAILED(HRESULT hr) { return hr < 0; }
inline bool SUCCEEDED(HRESULT hr) { return hr >= 0; }

struct POINT {
  LONG x, y;
};
struct RECT {
  LONG left, top, right, bottom;
};
struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void (*)(HWND, UINT, uintptr_t, DWORD);

struct WNDCLASSA {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  const char* lpszMenuName;
  const char* lpszClassName;
};

// Messages.
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_TIMER = 0x0113;

// WM_ACTIVATE low word.
constexpr WORD WA_INACTIVE = 0;
constexpr WORD WA_ACTIVE = 1;

inline WORD LOWORD(uintptr_t v) { return static_cast<WORD>(v & 0xFFFF); }
inline WORD HIWORD(uintptr_t v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }

// Virtual-key codes.
constexpr WPARAM VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12,
                 VK_PAUSE = 0x13, VK_CAPITAL = 0x14, VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22,
                 VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28,
                 VK_SNAPSHOT = 0x2C, VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_LWIN = 0x5B, VK_RWIN = 0x5C, VK_APPS = 0x5D,
                 VK_NUMPAD0 = 0x60, VK_MULTIPLY = 0x6A, VK_ADD = 0x6B, VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E,
                 VK_DIVIDE = 0x6F, VK_F1 = 0x70, VK_F8 = 0x77, VK_F12 = 0x7B, VK_NUMLOCK = 0x90, VK_SCROLL = 0x91,
                 VK_LSHIFT = 0xA0, VK_RSHIFT = 0xA1, VK_LCONTROL = 0xA2, VK_RCONTROL = 0xA3, VK_LMENU = 0xA4,
                 VK_RMENU = 0xA5, VK_OEM_1 = 0xBA, VK_OEM_PLUS = 0xBB, VK_OEM_COMMA = 0xBC, VK_OEM_MINUS = 0xBD,
                 VK_OEM_PERIOD = 0xBE, VK_OEM_2 = 0xBF, VK_OEM_3 = 0xC0, VK_OEM_4 = 0xDB, VK_OEM_5 = 0xDC,
                 VK_OEM_6 = 0xDD, VK_OEM_7 = 0xDE, VK_OEM_102 = 0xE2;

// Class and window styles.
constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr DWORD WS_POPUP = 0x80000000u;
constexpr DWORD WS_EX_TOPMOST = 0x00000008u;

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int BLACK_BRUSH = 4;
constexpr int SW_SHOWDEFAULT = 10;
constexpr UINT PM_NOREMOVE = 0;
constexpr UINT PM_REMOVE = 1;
constexpr UINT MB_OK = 0;
constexpr int IDOK = 1;
inline const char* const IDC_ARROW = reinterpret_cast<const char*>(32512);

// Windows and messages. One process-wide queue serves every window; the filter
// arguments (window, message range) are accepted and ignored.
// Keeps the class's window procedure; styles, icon, cursor and brush are unused.
ATOM RegisterClassA(const WNDCLASSA* wc);
// A host window, hidden until ShowWindow: full screen at the desktop's size, or
// a resizable window of the --window size; position, style and parent are ignored.
HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, void* param);
// Shows the window and sends it WM_ACTIVATE(WA_ACTIVE) before returning, as Windows does.
BOOL ShowWindow(HWND window, int cmdShow);
// Nothing to paint: answers whether the window exists.
BOOL UpdateWindow(HWND window);
// Raises the window; answers the window that had the focus before.
HWND SetFocus(HWND window);
// One arrow cursor whatever the name.
HCURSOR LoadCursorA(HINSTANCE instance, const char* name);
// A null cursor hides the mouse pointer, any other shows it.
HCURSOR SetCursor(HCURSOR cursor);
// A handle that stands for the black brush; nothing paints with it.
HGDIOBJ GetStockObject(int object);
// There are no accelerator tables: always null.
HACCEL LoadAcceleratorsA(HINSTANCE instance, const char* tableName);
// SM_CXSCREEN and SM_CYSCREEN are the desktop's size; 0 without a display.
int GetSystemMetrics(int index);

// The host's events arrive here as Windows messages (WM_KEYDOWN with virtual-key codes,
// WM_ACTIVATE, WM_CLOSE); the window timers' WM_TIMER come when due.
BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMsg);
// Blocks until a message comes; 0 for WM_QUIT. With the virtual clock a due timer
// message comes at once; without video and without timers it answers -1 instead
// of blocking for ever.
BOOL GetMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax);
// Returns as soon as a message is waiting, or at once on the virtual clock.
BOOL WaitMessage();
// There are no character messages: does nothing.
BOOL TranslateMessage(const MSG* msg);
// Calls the window procedure of the message's window.
LRESULT DispatchMessageA(const MSG* msg);
// There are no accelerators: always 0, so every message is dispatched.
int TranslateAcceleratorA(HWND window, HACCEL accel, MSG* msg);
// Queues the message behind the host's events; never fails.
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Nothing needs a default action here: always 0.
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Raises WM_TIMER for the window every max(interval, 10) ms of tick count.
uintptr_t SetTimer(HWND window, uintptr_t id, UINT interval, TIMERPROC proc);

// Prints the box to standard error (there is no modal dialog on a bare display) and answers IDOK.
int MessageBoxA(HWND window, const char* text, const char* caption, UINT type);
// Writes to standard error when VELMORA_DEBUG_OUTPUT is set; otherwise discards.
void OutputDebugStringA(const char* text);

// Milliseconds, unsigned 32-bit and wrapping, moving in steps of the system tick
// (10 ms by default), or the virtual clock when one is set (host/clock.h).
DWORD GetTickCount();
void Sleep(DWORD milliseconds);
