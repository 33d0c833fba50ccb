#pragma once
// Shared between the stand-ins' own files; never included by the engine.

#include <functional>

#include "winapi/win32.h"

namespace host {
struct Window;
}

namespace winapi::detail {

// The host's window behind a window handle; null once the handle is retired.
host::Window* HostWindowOf(HWND window);
// Told when the program's window is minimised: DirectDraw surfaces lose their
// memory then, as they do when an exclusive full-screen program is minimised.
void AddMinimiseObserver(std::function<void()> observer);
// Told when the program's window comes to the foreground (active, not
// minimised) or leaves it; input devices held in the foreground need it.
void AddForegroundObserver(std::function<void(bool foreground)> observer);
bool WindowInForeground();

}  // namespace winapi::detail
