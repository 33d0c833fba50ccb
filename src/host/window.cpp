#include "host/window.h"

#include <SDL.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "host/last_error.h"
#include "host/sdl_window.h"
#include "host/settings.h"
#include "host/video_start.h"
#include "host/web_page.h"
#include "host/window_presenter.h"

namespace host {
namespace {

std::vector<std::unique_ptr<Window>>& windows() {
  static std::vector<std::unique_ptr<Window>> w;
  return w;
}

// The chosen screen, or the first when it is not there (any more).
int ScreenToOpenOn() { return ChosenScreen() < SDL_GetNumVideoDisplays() ? ChosenScreen() : 0; }

}  // namespace

Window* OpenWindow(const char* title, int width, int height) {
  if (!EnsureVideo()) return nullptr;
  Uint32 flags = SDL_WINDOW_HIDDEN;
  // Full screen takes the screen the window stands on.
  const int screen = ScreenToOpenOn();
  int x = int(SDL_WINDOWPOS_UNDEFINED_DISPLAY(screen)), y = x;
  if (Windowed()) {
    width = WindowedWidth();
    height = WindowedHeight();
    x = y = int(SDL_WINDOWPOS_CENTERED_DISPLAY(screen));
    // A resizable canvas would take the size the page gives it; it keeps the mode's.
    if (!kInWebPage) flags |= SDL_WINDOW_RESIZABLE;
  } else {
    flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  }
  SDL_Window* sdl = SDL_CreateWindow(title ? title : "", x, y, width > 0 ? width : 1, height > 0 ? height : 1, flags);
  if (!sdl) {
    SetLastErrorText(std::string("cannot create a window (") + SDL_GetError() + ")");
    return nullptr;
  }
  windows().push_back(std::make_unique<Window>(Window{sdl}));
  return windows().back().get();
}

void CloseWindow(Window* window) {
  auto& all = windows();
  auto it = std::find_if(all.begin(), all.end(), [&](const auto& w) { return w.get() == window; });
  if (it == all.end()) return;
  ForgetWindow(window);
  SDL_DestroyWindow(window->sdl);
  all.erase(it);
}

void ShowWindow(Window* window) {
  if (window) SDL_ShowWindow(window->sdl);
}

void RaiseWindow(Window* window) {
  if (window) SDL_RaiseWindow(window->sdl);
}

bool WindowMinimised(const Window* window) {
  return window && (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_MINIMIZED) != 0;
}

Window* WindowWithId(uint32_t id) {
  for (auto& w : windows())
    if (SDL_GetWindowID(w->sdl) == id) return w.get();
  return nullptr;
}

bool DesktopSize(int& width, int& height) {
  SDL_DisplayMode mode;
  if (!EnsureVideo()) return false;
  const int screen = ScreenToOpenOn();
  if (SDL_GetDesktopDisplayMode(screen, &mode) != 0) return false;
  width = mode.w;
  height = mode.h;
  return true;
}

std::vector<Screen> Screens() {
  std::vector<Screen> screens;
  if (!EnsureVideo()) return screens;
  for (int i = 0; i < SDL_GetNumVideoDisplays(); ++i) {
    Screen s;
    const char* name = SDL_GetDisplayName(i);
    s.name = name ? name : "";
    SDL_Rect bounds{0, 0, 0, 0};
    SDL_GetDisplayBounds(i, &bounds);
    s.x = bounds.x;
    s.y = bounds.y;
    s.width = bounds.w;
    s.height = bounds.h;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(i, &mode) == 0) s.refresh_hz = mode.refresh_rate;
    screens.push_back(s);
  }
  return screens;
}

void ShowPointer(bool shown) {
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
}

void SetRelativeMouse(bool on) {
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_SetRelativeMouseMode(on ? SDL_TRUE : SDL_FALSE);
}

uint32_t InputTicks() { return SDL_GetTicks(); }

bool DisplayStarted() { return SDL_WasInit(SDL_INIT_VIDEO) != 0; }

void ShutDown() {
  while (!windows().empty()) CloseWindow(windows().back().get());
  SDL_Quit();
  ForgetVideoStart();
}

}  // namespace host
