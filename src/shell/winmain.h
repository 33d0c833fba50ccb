#pragma once
// Entry, the main window and its messages.

#include "platform/win32.h"

extern HINSTANCE g_hInstance;
extern int g_nCmdShow;
extern HWND hWnd;
extern HACCEL g_hAccel;
extern int g_bQuit;
extern int g_bActive;

int WinMain(HINSTANCE instance, HINSTANCE previous, char* commandLine, int showCommand);
// Splits at spaces only; no quoting, no escaping. The caller frees each word with
// delete[] and then the array with delete[].
char** CmdLineToArgv(const char* text, int* count);
int InitHwnd();
LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int ErrorBox(HWND window, const char* format, ...) __attribute__((format(printf, 2, 3)));
