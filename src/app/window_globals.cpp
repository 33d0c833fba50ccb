#include "app/window_globals.h"

HINSTANCE g_hInstance = nullptr;
int g_nCmdShow = 0;
HWND hWnd = nullptr;
HACCEL g_hAccel = nullptr;
int g_bQuit = 0;
int g_bActive = 0;
DWORD g_dwActivations = 0;
