// The tick count and the sleep of the old system calls, on the host's clock.
#include <SDL.h>

#include "host/clock.h"
#include "winapi/win32.h"

DWORD GetTickCount() { return host::ReadTick(); }

void Sleep(DWORD milliseconds) { SDL_Delay(milliseconds); }
