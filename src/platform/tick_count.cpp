// The tick count and the settings of platform/runtime.h.
#include <SDL.h>

#include <utility>

#include "platform/runtime.h"
#include "platform/win32.h"

namespace platform {
namespace {

enum class ClockKind { Real, Virtual, Manual };

struct Clock {
  ClockKind kind = ClockKind::Real;
  DWORD system_tick_ms = 10;
  unsigned fps = 60;
  uint64_t frames = 0;  // frames presented under the virtual clock
  DWORD manual = 0;
  uint64_t idle_reads = 0;  // reads of the virtual clock since the last frame
};
Clock g_clock;

struct Settings {
  bool windowed = false;
  int window_width = 960;
  int window_height = 600;
  PresentHook present_hook;
  std::string last_error;
};
Settings& settings() {
  static Settings s;
  return s;
}

// A virtual clock read this often without a frame being presented moves on by
// one frame anyway, so a run whose drawing fails cannot spin forever.
constexpr uint64_t kIdleReadsPerFrame = 1u << 20;

DWORD VirtualNow() { return static_cast<DWORD>(g_clock.frames * 1000u / g_clock.fps); }

}  // namespace

void UseRealClock(DWORD system_tick_ms) {
  g_clock = Clock{};
  g_clock.system_tick_ms = system_tick_ms ? system_tick_ms : 1;
}

void UseVirtualClock(unsigned fps) {
  g_clock = Clock{};
  g_clock.kind = ClockKind::Virtual;
  g_clock.fps = fps ? fps : 1;
}

void UseManualClock(DWORD value) {
  g_clock.kind = ClockKind::Manual;
  g_clock.manual = value;
}

bool VirtualClockInUse() { return g_clock.kind != ClockKind::Real; }

void AdvanceClockForPresentedFrame() {
  if (g_clock.kind == ClockKind::Virtual) {
    ++g_clock.frames;
    g_clock.idle_reads = 0;
  }
}

void SetWindowed(bool windowed, int width, int height) {
  settings().windowed = windowed;
  settings().window_width = width;
  settings().window_height = height;
}
bool Windowed() { return settings().windowed; }
int WindowedWidth() { return settings().window_width; }
int WindowedHeight() { return settings().window_height; }

void SetPresentHook(PresentHook hook) { settings().present_hook = std::move(hook); }
void CallPresentHook(const PresentedFrame& frame) {
  if (settings().present_hook) settings().present_hook(frame);
}

void SetLastErrorText(std::string text) { settings().last_error = std::move(text); }
const std::string& LastErrorText() { return settings().last_error; }

}  // namespace platform

DWORD GetTickCount() {
  using namespace platform;
  switch (g_clock.kind) {
    case ClockKind::Manual: return g_clock.manual;
    case ClockKind::Virtual:
      if (++g_clock.idle_reads >= kIdleReadsPerFrame) AdvanceClockForPresentedFrame();
      return VirtualNow();
    case ClockKind::Real: break;
  }
  uint64_t now = SDL_GetTicks64();
  return static_cast<DWORD>(now - now % g_clock.system_tick_ms);
}

void Sleep(DWORD milliseconds) { SDL_Delay(milliseconds); }
