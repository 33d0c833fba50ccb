#pragma once
// Inside the host (and its tests): what a window handle holds.

#include <SDL.h>

namespace host {

struct Window {
  SDL_Window* sdl = nullptr;
};

inline SDL_Window* SdlWindow(const Window* window) { return window ? window->sdl : nullptr; }

}  // namespace host
