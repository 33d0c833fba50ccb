#include "host/frame_pump.h"

#include <SDL.h>

#include <utility>

#include "host/clock.h"
#include "host/pacing_report.h"
#include "host/playback.h"
#include "host/screen_memory.h"
#include "host/sdl_window.h"
#include "host/settings.h"
#include "host/window.h"
#include "host/window_overlay.h"
#include "host/window_presenter.h"

namespace host {
namespace {

struct Hooks {
  PresentHook present;
  PresentHook snapshot;
  std::function<std::optional<PresentedFrame>()> shown;
};
Hooks& hooks() {
  static Hooks h;
  return h;
}

// The refresh rate of the screen the window is on; 0 when the system does not
// say (as under Xvfb).
unsigned ScreenRefreshRate(Window* handle) {
  SDL_Window* window = SdlWindow(handle);
  SDL_DisplayMode mode;
  const int display = window ? SDL_GetWindowDisplayIndex(window) : 0;
  if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetCurrentDisplayMode(display < 0 ? 0 : display, &mode) == 0 &&
      mode.refresh_rate > 0)
    return unsigned(mode.refresh_rate);
  return 0;
}

void ShowInWindow(Window* window, ScreenMemory& memory, const FramePixels& f) {
  // A window resized behind our back has dropped its surface already; take the
  // pixels back before asking for the new one.
  // A frame with an overlay over it is copied into the window: its own pixels
  // must not take the overlay.
  if (memory.Lent() && (!memory.LentTo(window) || !WindowStillFits(window, f.width, f.height) || AnyOverlay()))
    memory.TakeBack();
  if (!memory.Lent() && !AnyOverlay())
    if (uint8_t* shown = WindowSurfaceFor(window, f.width, f.height, f.pitch, f.bytes_per_pixel))
      memory.Lend(window, shown);
  // A surface SDL has given up (a change not yet heard of) is not shown: the
  // pixels come back and go the ordinary way.
  if (memory.Lent() && !ShowWindowSurface(window)) ScreenMemory::TakeBackFrom(window);
  if (!memory.Lent())
    PresentInWindow(window, FramePixels{memory.data(), f.width, f.height, f.pitch, f.bytes_per_pixel});
}

}  // namespace

void SetPresentHook(PresentHook hook) { hooks().present = std::move(hook); }
void SetSnapshotHook(PresentHook hook) { hooks().snapshot = std::move(hook); }
void SetShownFrameSource(std::function<std::optional<PresentedFrame>()> source) { hooks().shown = std::move(source); }

void SaveShownFrame() {
  if (!hooks().snapshot || !hooks().shown) return;
  if (const std::optional<PresentedFrame> frame = hooks().shown()) hooks().snapshot(*frame);
}

void PresentFrame(Window* window, ScreenMemory& memory, int width, int height, int pitch, int bytes_per_pixel) {
  if (SkippingFrame()) {
    AdvanceClockForPresentedFrame();
    return;
  }
  const bool shown = window && PresentToWindow() && !WindowMinimised(window);
  if (PacedClockInUse()) {
    if (!RefreshRateKnown()) SetRefreshRate(ScreenRefreshRate(window));
    // The GPU's vsync waits for the refresh itself.
    if (!(shown && Vsync() && PresentingOnGpu())) WaitForFrameDue();
  }
  if (shown) ShowInWindow(window, memory, FramePixels{memory.data(), width, height, pitch, bytes_per_pixel});
  NotePresent();
  if (hooks().present) hooks().present(PresentedFrame{memory.data(), width, height, pitch, bytes_per_pixel * 8});
  AdvanceClockForPresentedFrame();
  if (PacedClockInUse()) FollowMusic();
}

void CountUnshownFrame() { AdvanceClockForPresentedFrame(); }

}  // namespace host
