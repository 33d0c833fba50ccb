#include "shell/winmain.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "base/logfile.h"
#include "gfx/display.h"
#include "shell/demo.h"
#include "shell/init_output.h"
#include "shell/live_console.h"

int WinMain(HINSTANCE instance, HINSTANCE, char* commandLine, int showCommand) {
  init_output();
  log_winmain.status("OK", "init_output()");
  g_hInstance = instance;
  g_nCmdShow = showCommand;
  int count = 0;
  char** args = CmdLineToArgv(commandLine, &count);
  log_winmain.status("OK", "CmdLineToArgv(...)");
  log_winmain.status("OK", "main(...)");
  int result = demo::main(count, args);
  for (int i = 0; i < count; ++i) delete[] args[i];
  delete[] args;
  log_winmain.status("OK", "EndMain(...)");
  log_winmain.status("OK", "return %u", static_cast<unsigned>(result));
  return result;
}

char** CmdLineToArgv(const char* text, int* count) {
  if (!text) text = "";
  int words = 0;
  for (const char* p = text; *p;) {
    while (*p == ' ') ++p;
    if (!*p) break;
    ++words;
    while (*p && *p != ' ') ++p;
  }
  char** argv = new char*[words];
  int i = 0;
  for (const char* p = text; *p;) {
    while (*p == ' ') ++p;
    if (!*p) break;
    const char* start = p;
    while (*p && *p != ' ') ++p;
    size_t length = static_cast<size_t>(p - start);
    argv[i] = new char[length + 1];
    std::memcpy(argv[i], start, length);
    argv[i][length] = 0;
    ++i;
  }
  *count = words;
  return argv;
}

int InitHwnd() {
  WNDCLASSA wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = g_hInstance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = GetStockObject(BLACK_BRUSH);
  wc.lpszMenuName = "Velmora";
  wc.lpszClassName = "Velmora";
  RegisterClassA(&wc);

  hWnd = CreateWindowExA(WS_EX_TOPMOST, "Velmora", "Velmora", WS_POPUP, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                         GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, g_hInstance, nullptr);
  if (!hWnd) {
    log_winmain.status("ERROR", "CreateWindowEx(...)");
    return 0;
  }
  log_winmain.status("OK", "CreateWindowEx(...)");
  ShowWindow(hWnd, g_nCmdShow);
  UpdateWindow(hWnd);
  SetFocus(hWnd);
  g_hAccel = LoadAcceleratorsA(g_hInstance, nullptr);
  return 1;
}

LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      g_bQuit = 1;
      log_winmain.print("[WindowProc] message: WM_DESTROY\n");
      return 0;
    case WM_ACTIVATE:
      if (!g_bActive) g_bDisplayReady = 0;
      g_bActive = HIWORD(wParam) == 0 ? 1 : 0;
      if (g_bActive) ++g_dwActivations;
      log_winmain.print("[WindowProc] message: WM_ACTIVE (%u)\n", static_cast<unsigned>(g_bActive));
      return 0;
    case WM_CLOSE:
      g_bQuit = 1;
      log_winmain.print("[WindowProc] message: WM_CLOSE\n");
      return 0;
    case WM_SETCURSOR:
      SetCursor(nullptr);
      log_winmain.print("[WindowProc] message: WM_SETCURSOR\n");
      return 1;
    case WM_KEYUP:
      // The console, open or about to open, takes keys before the demo sees them.
      if (TheLiveConsole().OnKey(message, wParam, lParam)) return 0;
      break;
    case WM_KEYDOWN:
      if (TheLiveConsole().OnKey(message, wParam, lParam)) return 0;
      if (wParam == VK_ESCAPE) {
        log_winmain.print("[WindowProc] message: WM_KEYDOWN (ESC)\n");
        PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
      }
      if (wParam == VK_F8) {
        log_winmain.print("[WindowProc] message: WM_KEYDOWN (F8)\n");
        // The display comes back at 320 x 200 x 32 on a new window; surfaces the
        // program keeps are taken over and converted by the new display.
        DxFree();
        InitHwnd();
        DxInit(320, 200, 32);
        return 0;
      }
      break;
    default: break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

int ErrorBox(HWND window, const char* format, ...) {
  char text[8192];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  MessageBoxA(window, text, "Velmora:", MB_OK);
  log_winmain.write(text);
  return 1;
}
