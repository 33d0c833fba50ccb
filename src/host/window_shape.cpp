#include "host/window_shape.h"

#include <SDL.h>

#include <algorithm>

#include "host/picture_geometry.h"
#include "host/screen_memory.h"
#include "host/sdl_window.h"
#include "host/settings.h"
#include "host/web_page.h"

namespace host {
namespace {
// The screen the window stands on; the first when the system does not say.
int ScreenOf(SDL_Window* window) { return std::max(0, SDL_GetWindowDisplayIndex(window)); }
}  // namespace

void SizeWindowToPicture(Window* handle, int w, int h) {
  SDL_Window* window = SdlWindow(handle);
  if (!window) return;
  // In a web page the canvas holds the mode's pixels one for one; the page scales
  // it to the aspect and the room it has.
  if (kInWebPage) {
    ScreenMemory::TakeBackFrom(handle);
    SDL_SetWindowSize(window, w, h);
    ShapePageCanvas(w, h);
    return;
  }
  // A window given its size by the user keeps it; otherwise the window the
  // picture opens in, or comes back to from full screen, has its shape.
  if (Windowed() && !WindowSizedToPicture()) return;
  SDL_DisplayMode desktop;
  const int screen = ScreenOf(window);
  if (SDL_GetDesktopDisplayMode(screen, &desktop) != 0) return;
  const WindowSize size = WindowForPicture(w, h, desktop.w * 9 / 10, desktop.h * 9 / 10, PictureAspect());
  if (size.width <= 0 || size.height <= 0) return;
  SetWindowedSize(size.width, size.height);
  if (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) return;
  ScreenMemory::TakeBackFrom(handle);
  SDL_SetWindowSize(window, size.width, size.height);
  SDL_SetWindowPosition(window, int(SDL_WINDOWPOS_CENTERED_DISPLAY(screen)),
                        int(SDL_WINDOWPOS_CENTERED_DISPLAY(screen)));
}

void NoteWindowSize(Window* handle) {
  SDL_Window* window = SdlWindow(handle);
  if (!window || kInWebPage) return;
  const Uint32 flags = SDL_GetWindowFlags(window);
  if (flags & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN))
    return;
  int w = 0, h = 0;
  SDL_GetWindowSize(window, &w, &h);
  if (w > 0 && h > 0) SetWindowedSize(w, h);
}

void ToggleFullScreen(Window* handle) {
  SDL_Window* window = SdlWindow(handle);
  if (kInWebPage) {
    TogglePageFullScreen();
    return;
  }
  if (!window) return;
  ScreenMemory::TakeBackFrom(handle);
  if (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) {
    SDL_SetWindowFullscreen(window, 0);
    SDL_SetWindowResizable(window, SDL_TRUE);
    SDL_SetWindowSize(window, WindowedWidth(), WindowedHeight());
    const int screen = ScreenOf(window);
    SDL_SetWindowPosition(window, int(SDL_WINDOWPOS_CENTERED_DISPLAY(screen)),
                          int(SDL_WINDOWPOS_CENTERED_DISPLAY(screen)));
  } else {
    SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
  }
}

}  // namespace host
