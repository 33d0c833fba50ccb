// The tick count and the settings of platform/runtime.h.
#include <SDL.h>

#include <utility>

#include "platform/audio_mixer.h"
#include "platform/internal.h"
#include "platform/runtime.h"
#include "platform/win32.h"

namespace platform {
namespace {

enum class ClockKind { Real, Virtual, Manual };

struct Skip {
  bool active = false;
  DWORD start_ms = 0;
  std::function<DWORD()> demo_time;
  bool real_after = false;  // the real clock takes over once the skip ends
};
Skip g_skip;

struct Clock {
  ClockKind kind = ClockKind::Real;
  DWORD system_tick_ms = 10;
  unsigned fps = 60;
  uint64_t frames = 0;  // frames presented under the virtual clock
  DWORD manual = 0;
  uint64_t idle_reads = 0;  // reads of the virtual clock since the last frame
  int64_t real_offset = 0;  // added to SDL's ticks: a real clock that went on from a virtual one
  DWORD last_read = 0;
  bool activity = true;  // a loop call since the last read of the real clock
  uint64_t sleeps = 0;   // waits that slept instead of spinning
  bool paused = false;
  uint64_t paused_at = 0;  // SDL's ticks when the pause began
};
Clock g_clock;

struct Settings {
  bool windowed = false;
  bool window_sized_to_picture = false;
  bool present_to_window = true;
  bool text_input = false;
  Filter filter = Filter::kNearest;
  Renderer renderer = Renderer::kCpu;
  bool vsync = true;
  Aspect aspect = Aspect::kCrt;
  Scale scale = Scale::kFit;
  int window_width = 960;
  int window_height = 600;
  PresentHook present_hook;
  PresentHook snapshot_hook;
  std::string last_error;
};
Settings& settings() {
  static Settings s;
  return s;
}

// A virtual clock read this often without a frame being presented moves on by
// one frame anyway, so a run whose drawing fails cannot spin forever.
constexpr uint64_t kIdleReadsPerFrame = 1u << 20;

constexpr unsigned kSkipFps = 25;

DWORD VirtualNow() { return static_cast<DWORD>(g_clock.frames * 1000u / g_clock.fps); }

// The real clock in milliseconds: SDL's, less the time paused, plus the offset a
// skip left; it stands still while paused.
uint64_t RealNowMs() {
  const uint64_t sdl = g_clock.paused ? g_clock.paused_at : SDL_GetTicks64();
  return uint64_t(int64_t(sdl) + g_clock.real_offset);
}
DWORD OnTickGrid(uint64_t ms) { return static_cast<DWORD>(ms - ms % g_clock.system_tick_ms); }

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

namespace detail {
void NoteLoopActivity() { g_clock.activity = true; }
}  // namespace detail

void SetPaused(bool paused) {
  if (paused == g_clock.paused || g_clock.kind != ClockKind::Real) return;
  g_clock.paused = paused;
  if (paused) {
    g_clock.paused_at = SDL_GetTicks64();
  } else {
    // The time spent paused is taken out of the clock: it goes on where it stood.
    g_clock.real_offset -= int64_t(SDL_GetTicks64() - g_clock.paused_at);
  }
  audio::Hold(paused);
}
bool Paused() { return g_clock.paused; }

void RestartClock() {
  g_clock.frames = 0;
  g_clock.idle_reads = 0;
  g_skip = Skip{};
  audio::SeekModule(0);
}

void SetTextInput(bool on) { settings().text_input = on; }
bool TextInput() { return settings().text_input; }

uint64_t TickSleeps() { return g_clock.sleeps; }

bool VirtualClockInUse() { return g_clock.kind != ClockKind::Real; }

void AdvanceClockForPresentedFrame() {
  if (g_clock.kind == ClockKind::Virtual) {
    ++g_clock.frames;
    g_clock.idle_reads = 0;
  }
}

void SkipTo(DWORD start_ms, std::function<DWORD()> demo_time) {
  g_skip = Skip{};
  if (start_ms == 0 || !demo_time) return;
  g_skip.active = true;
  g_skip.start_ms = start_ms;
  g_skip.demo_time = std::move(demo_time);
  g_skip.real_after = g_clock.kind == ClockKind::Real;
  if (g_skip.real_after) {
    // A live run's frame rate is the machine's anyway; 25 frames a second keeps
    // the way to the end of the timeline under a second at 320 x 200.
    g_clock.kind = ClockKind::Virtual;
    g_clock.fps = kSkipFps;
  }
  audio::Hold(true);
}

bool SkippingFrame() {
  if (!g_skip.active) return false;
  if (g_skip.demo_time() < g_skip.start_ms) return true;
  g_skip.active = false;
  if (g_skip.real_after) {
    // Real time goes on from where the virtual clock stood, on the tick grid.
    const DWORD now = VirtualNow();
    g_clock.kind = ClockKind::Real;
    g_clock.real_offset = int64_t(now) - int64_t(SDL_GetTicks64());
  }
  audio::SeekModule(g_skip.start_ms / 1000.0);
  audio::Hold(false);
  return false;
}

void SetWindowed(bool windowed, int width, int height) {
  settings().windowed = windowed;
  settings().window_sized_to_picture = width <= 0 || height <= 0;
  settings().window_width = width > 0 ? width : 960;
  settings().window_height = height > 0 ? height : 600;
}
bool WindowSizedToPicture() { return settings().window_sized_to_picture; }
void SetWindowedSize(int width, int height) {
  settings().window_width = width;
  settings().window_height = height;
}
bool Windowed() { return settings().windowed; }
void SetSound(bool mute, bool silent_fallback) {
  if (mute) audio::UsePullMode(audio::kPullRate);
  audio::PlaySilentlyWithoutDevice(silent_fallback);
}
void SetPresentation(Filter filter, Renderer renderer, bool vsync) {
  settings().filter = filter;
  settings().renderer = renderer;
  settings().vsync = vsync;
}
Filter PictureFilter() { return settings().filter; }
Renderer ChosenRenderer() { return settings().renderer; }
bool Vsync() { return settings().vsync; }
void SetPictureRules(Aspect aspect, Scale scale) {
  settings().aspect = aspect;
  settings().scale = scale;
}
Aspect PictureAspect() { return settings().aspect; }
Scale PictureScale() { return settings().scale; }
void SetPresentToWindow(bool on) { settings().present_to_window = on; }
bool PresentToWindow() { return settings().present_to_window; }
int WindowedWidth() { return settings().window_width; }
int WindowedHeight() { return settings().window_height; }

void SetPresentHook(PresentHook hook) { settings().present_hook = std::move(hook); }
void CallPresentHook(const PresentedFrame& frame) {
  if (settings().present_hook) settings().present_hook(frame);
}

void SetSnapshotHook(PresentHook hook) { settings().snapshot_hook = std::move(hook); }
void CallSnapshotHook(const PresentedFrame& frame) {
  if (settings().snapshot_hook) settings().snapshot_hook(frame);
}

void SetLastErrorText(std::string text) { settings().last_error = std::move(text); }
const std::string& LastErrorText() { return settings().last_error; }

}  // namespace platform

namespace platform::detail {
DWORD CurrentTick() {
  if (g_clock.kind != ClockKind::Real) return GetTickCount();
  return OnTickGrid(RealNowMs());
}
}  // namespace platform::detail

DWORD GetTickCount() {
  using namespace platform;
  switch (g_clock.kind) {
    case ClockKind::Manual: return g_clock.manual;
    case ClockKind::Virtual:
      if (++g_clock.idle_reads >= kIdleReadsPerFrame) AdvanceClockForPresentedFrame();
      return VirtualNow();
    case ClockKind::Real: break;
  }
  // While paused the clock stands where the pause began; a wait on it sleeps and
  // keeps taking events, so that the key that lifts the pause is seen.
  while (g_clock.paused && !g_clock.activity && g_clock.last_read != 0) {
    SDL_Delay(10);
    detail::PumpEvents();
  }
  uint64_t now = RealNowMs();
  DWORD value = OnTickGrid(now);
  if (value == g_clock.last_read && !g_clock.activity && !g_clock.paused) {
    // Polled again with nothing else done: sleep until the tick is due rather
    // than burn a core; the value read is the one spinning would have found.
    SDL_Delay(static_cast<Uint32>(g_clock.system_tick_ms - now % g_clock.system_tick_ms));
    ++g_clock.sleeps;
    value = OnTickGrid(RealNowMs());
  }
  g_clock.last_read = value;
  g_clock.activity = false;
  return value;
}

void Sleep(DWORD milliseconds) { SDL_Delay(milliseconds); }
