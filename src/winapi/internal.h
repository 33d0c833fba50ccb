#pragma once
// Shared between the stand-ins' own files; never included by the engine.

#include <SDL.h>

#include <functional>

#include "winapi/win32.h"

namespace winapi::detail {

SDL_Window* SdlWindowOf(HWND window);
// Sees every SDL event before it becomes a window message (the input devices).
void AddEventObserver(std::function<void(const SDL_Event&)> observer);
// Told when the program's window is minimised: DirectDraw surfaces lose their
// memory then, as they do when an exclusive full-screen program is minimised.
void AddMinimiseObserver(std::function<void()> observer);
// Told when the program's window comes to the foreground (active, not
// minimised) or leaves it; input devices held in the foreground need it.
void AddForegroundObserver(std::function<void(bool foreground)> observer);
bool WindowInForeground();
// Turns SDL's waiting events into messages.
void PumpEvents();

}  // namespace winapi::detail
