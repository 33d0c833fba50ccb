#include "host/video_start.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "host/gpu_probe.h"
#include "host/last_error.h"
#include "host/settings.h"

namespace host {
namespace {
bool g_failed = false;  // probing again within a run would only repeat the drivers' complaints
std::string g_driver;
}  // namespace

const std::string& VideoDriverName() { return g_driver; }

void ForgetVideoStart() { g_failed = false; }

void RunWithoutDevices() {
  SDL_setenv("SDL_VIDEODRIVER", "offscreen", 0);
  SDL_setenv("SDL_AUDIODRIVER", "dummy", 0);
}

bool EnsureVideo() {
  if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
  bool& failed = g_failed;
  if (failed) return false;
  failed = true;
  const bool driver_chosen = std::getenv("SDL_VIDEODRIVER") != nullptr;
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
  // Probing Wayland without a compositor only prints noise; go to X11 directly.
  if (!driver_chosen && std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
#endif
  // Frames are drawn in memory; the window surface is the cheapest way to show
  // them, where a GL-emulated surface would cost a software GL pass per frame.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // Asked before the display opens, where the asking can be kept out of this
  // process (see gpu_probe.h).
  if (ChosenRenderer() == Renderer::kAuto) RealGpuAvailable();
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    SetLastErrorText(std::string("no display available (") + SDL_GetError() + ")");
    return false;
  }
  // SDL falls back to drivers that show nothing; a user would see a demo that
  // never appears, so those count only when asked for by name.
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver_chosen && driver && (!std::strcmp(driver, "offscreen") || !std::strcmp(driver, "dummy"))) {
    SetLastErrorText("no display available (set DISPLAY, or SDL_VIDEODRIVER=offscreen to run without a screen)");
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return false;
  }
  if (SDL_GetNumVideoDisplays() < 1) {
    SetLastErrorText("no display available (no video display found)");
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return false;
  }
  failed = false;
  g_driver = driver ? driver : "";
  return true;
}

}  // namespace host
