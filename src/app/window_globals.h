#pragma once
// The program's instance, its main window and the run flags: set by the entry and
// the window procedure, read by the set-up of display, input and sound.

#include "winapi/win32.h"

extern HINSTANCE g_hInstance;
extern int g_nCmdShow;
extern HWND hWnd;
extern HACCEL g_hAccel;
extern int g_bQuit;
extern int g_bActive;
// How often the window became active; input given up while it was away is tried
// again once per activation.
extern DWORD g_dwActivations;
