#include "host/clock.h"

#include <SDL.h>

#include <utility>

namespace host {
namespace {

enum class ClockKind { Real, Virtual, Manual };

struct Clock {
  ClockKind kind = ClockKind::Real;
  uint32_t system_tick_ms = 10;
  unsigned fps = 60;
  uint64_t frames = 0;  // frames presented under the virtual clock
  uint32_t manual = 0;
  uint64_t idle_reads = 0;  // reads of the virtual clock since the last frame
  int64_t real_offset = 0;  // added to SDL's ticks: a real clock that went on from a virtual one
  uint32_t last_read = 0;
  bool activity = true;  // a loop call since the last read of the real clock
  uint64_t sleeps = 0;   // waits that slept instead of spinning
  bool paused = false;
  uint64_t paused_at = 0;  // SDL's ticks when the pause began
};
Clock g_clock;
std::function<void()> g_paused_wait_pump;

// A virtual clock read this often without a frame being presented moves on by
// one frame anyway, so a run whose drawing fails cannot spin forever.
constexpr uint64_t kIdleReadsPerFrame = 1u << 20;

uint32_t VirtualNow() { return static_cast<uint32_t>(g_clock.frames * 1000u / g_clock.fps); }

// The real clock in milliseconds: SDL's, less the time paused, plus the offset a
// skip left; it stands still while paused.
uint64_t RealNowMs() {
  const uint64_t sdl = g_clock.paused ? g_clock.paused_at : SDL_GetTicks64();
  return uint64_t(int64_t(sdl) + g_clock.real_offset);
}
uint32_t OnTickGrid(uint64_t ms) { return static_cast<uint32_t>(ms - ms % g_clock.system_tick_ms); }

}  // namespace

void UseRealClock(uint32_t system_tick_ms) {
  g_clock = Clock{};
  g_clock.system_tick_ms = system_tick_ms ? system_tick_ms : 1;
}

void UseVirtualClock(unsigned fps) {
  g_clock = Clock{};
  g_clock.kind = ClockKind::Virtual;
  g_clock.fps = fps ? fps : 1;
}

void UseManualClock(uint32_t value) {
  g_clock.kind = ClockKind::Manual;
  g_clock.manual = value;
}

bool VirtualClockInUse() { return g_clock.kind != ClockKind::Real; }

void NoteLoopActivity() { g_clock.activity = true; }

uint64_t TickSleeps() { return g_clock.sleeps; }

void AdvanceClockForPresentedFrame() {
  if (g_clock.kind == ClockKind::Virtual) {
    ++g_clock.frames;
    g_clock.idle_reads = 0;
  }
}

void RestartFrames() {
  g_clock.frames = 0;
  g_clock.idle_reads = 0;
}

void PauseClock(bool paused) {
  if (paused == g_clock.paused || g_clock.kind != ClockKind::Real) return;
  g_clock.paused = paused;
  if (paused) {
    g_clock.paused_at = SDL_GetTicks64();
  } else {
    // The time spent paused is taken out of the clock: it goes on where it stood.
    g_clock.real_offset -= int64_t(SDL_GetTicks64() - g_clock.paused_at);
  }
}
bool ClockPaused() { return g_clock.paused; }

void SetPausedWaitPump(std::function<void()> pump) { g_paused_wait_pump = std::move(pump); }

bool RunVirtually(unsigned fps) {
  if (g_clock.kind != ClockKind::Real) return false;
  g_clock.kind = ClockKind::Virtual;
  g_clock.fps = fps ? fps : 1;
  return true;
}

void ResumeRealTime() {
  // Real time goes on from where the virtual clock stood, on the tick grid.
  const uint32_t now = VirtualNow();
  g_clock.kind = ClockKind::Real;
  g_clock.real_offset = int64_t(now) - int64_t(SDL_GetTicks64());
}

uint32_t CurrentTick() {
  if (g_clock.kind != ClockKind::Real) return ReadTick();
  return OnTickGrid(RealNowMs());
}

uint32_t ReadTick() {
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
    if (g_paused_wait_pump) g_paused_wait_pump();
  }
  uint64_t now = RealNowMs();
  uint32_t value = OnTickGrid(now);
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

}  // namespace host
