#pragma once
// Entry, the main window and its messages.

#include "app/window_globals.h"
#include "winapi/win32.h"

int WinMain(HINSTANCE instance, HINSTANCE previous, char* commandLine, int showCommand);
// Splits at spaces only; no quoting, no escaping. The caller frees each word with
// delete[] and then the array with delete[].
char** CmdLineToArgv(const char* text, int* count);
int InitHwnd();
LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int ErrorBox(HWND window, const char* format, ...) __attribute__((format(printf, 2, 3)));
