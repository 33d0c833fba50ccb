#include "host/clock.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "host/event.h"
#include "host/time_source.h"

namespace host {
namespace {

enum class ClockKind { Real, Virtual, Manual, Paced };

struct Clock {
  ClockKind kind = ClockKind::Real;
  uint32_t system_tick_ms = 10;
  // Frames are 1000 * per_frame / rate ms apart (fps 60: 60 and 1; a 144 Hz
  // screen paced at every second refresh: 144 and 2).
  unsigned rate = 60;
  unsigned per_frame = 1;
  uint64_t frames = 0;  // frames presented under the virtual clock; the next frame's index when paced
  uint32_t manual = 0;
  uint64_t idle_reads = 0;  // reads of the virtual clock since the last frame
  int64_t real_offset = 0;  // added to the time source's milliseconds: a real clock that went on from a virtual one
  uint32_t last_read = 0;
  bool activity = true;  // a loop call since the last read of the real clock
  uint64_t sleeps = 0;   // waits that slept instead of spinning
  bool paused = false;
  uint64_t paused_at = 0;                  // the time source's milliseconds when the pause began
  ClockKind after_skip = ClockKind::Real;  // the kind a skip's virtual run gives way to
};
Clock g_clock;

// The paced clock: frame n is due on the screen at base_ns + n * period, on the
// time source's clock; the base is set when the first frame is shown.
struct Pacing {
  bool anchored = false;
  int64_t base_ns = 0;  // may lie before the time source's zero: a start late in the demo
  uint64_t paused_ns = 0;
  bool shown_any = false;
  uint64_t last_shown = 0;
  uint64_t skipped = 0;
};
Pacing g_pacing;

// A virtual clock read this often without a frame being presented moves on by
// one frame anyway, so a run whose drawing fails cannot spin forever.
constexpr uint64_t kIdleReadsPerFrame = 1u << 20;

uint64_t NowMs() { return Time().NowNs() / 1'000'000; }
void SleepMs(uint64_t ms) { Time().SleepUntilNs(Time().NowNs() + ms * 1'000'000); }

// A paced clock whose screen is not known yet (no frame shown) stands at 0.
uint32_t VirtualNow() {
  return g_clock.rate ? static_cast<uint32_t>(g_clock.frames * 1000u * g_clock.per_frame / g_clock.rate) : 0;
}

double PeriodNs() { return 1e9 * g_clock.per_frame / g_clock.rate; }
uint64_t DueNs(uint64_t frame) { return uint64_t(g_pacing.base_ns + std::llround(double(frame) * PeriodNs())); }
// The index of the frame whose refresh comes next after `now_ns`.
uint64_t NextFrameAt(uint64_t now_ns) {
  const int64_t since = int64_t(now_ns) - g_pacing.base_ns;
  return since < 0 ? 0 : uint64_t(double(since) / PeriodNs()) + 1;
}

// The real clock in milliseconds: the time source's, less the time paused, plus the offset a
// skip left; it stands still while paused.
uint64_t RealNowMs() {
  const uint64_t ms = g_clock.paused ? g_clock.paused_at : NowMs();
  return uint64_t(int64_t(ms) + g_clock.real_offset);
}
uint32_t OnTickGrid(uint64_t ms) { return static_cast<uint32_t>(ms - ms % g_clock.system_tick_ms); }

// Late by this many frames the paced clock gives up drawing the way there
// unseen and goes straight to the frame whose refresh has come: a window in the
// background has its time move on, as it did with the system tick.
constexpr uint64_t kLongestCatchUpFrames = 60;

// The frame whose refresh has just come, when the next one to be drawn is
// further behind than the clock catches up frame by frame.
void CatchUpIfFarBehind() {
  if (!g_pacing.anchored || g_clock.paused || !g_clock.rate) return;
  const uint64_t due = NextFrameAt(Time().NowNs()) - 1;
  if (due > g_clock.frames + kLongestCatchUpFrames) g_clock.frames = due;
}

// The paced clock reads the time of the frame to be drawn next: the one after
// the last drawn, shown or not.
uint32_t PacedNow() {
  CatchUpIfFarBehind();
  return VirtualNow();
}

uint32_t PacedRead() {
  const uint32_t value = PacedNow();
  if (value == g_clock.last_read && !g_clock.activity && !g_clock.paused && g_pacing.anchored && g_clock.rate) {
    // Polled again with nothing else done: sleep until the next frame is due.
    Time().SleepUntilNs(DueNs(g_clock.frames));
    ++g_clock.sleeps;
    ++g_clock.frames;
    CatchUpIfFarBehind();
  }
  g_clock.last_read = VirtualNow();
  g_clock.activity = false;
  return g_clock.last_read;
}

}  // namespace

void UseRealClock(uint32_t system_tick_ms) {
  g_clock = Clock{};
  g_clock.system_tick_ms = system_tick_ms ? system_tick_ms : 1;
}

void UseVirtualClock(unsigned fps) {
  g_clock = Clock{};
  g_clock.kind = ClockKind::Virtual;
  g_clock.rate = fps ? fps : 1;
}

void UsePacedClock(unsigned refresh_hz) {
  g_clock = Clock{};
  g_clock.kind = ClockKind::Paced;
  g_pacing = Pacing{};
  g_clock.rate = 0;
  if (refresh_hz) SetRefreshRate(refresh_hz);
}

bool PacedClockInUse() { return g_clock.kind == ClockKind::Paced; }
bool RefreshRateKnown() { return g_clock.rate != 0; }

void SetRefreshRate(unsigned refresh_hz) {
  g_clock.rate = refresh_hz ? refresh_hz : 60;
  // The twirl's swing steps once per drawn frame, so frames never come faster
  // than the original's 10 ms tick: every k-th refresh, the smallest k that
  // brings the rate to 100 or below.
  g_clock.per_frame = (g_clock.rate + 99) / 100;
}

double PacedFrameRate() { return g_clock.rate ? double(g_clock.rate) / g_clock.per_frame : 0; }

void WaitForFrameDue() {
  if (g_clock.kind != ClockKind::Paced || g_clock.paused) return;
  TimeSource& time = Time();
  // The first frame (and the first after a skip or a restart) is shown at once;
  // the clock starts when it has been (AdvanceClockForPresentedFrame).
  if (!g_pacing.anchored) return;
  const uint64_t due = DueNs(g_clock.frames);
  if (time.NowNs() < due) time.SleepUntilNs(due);
}

double PacedPictureMs() {
  if (g_clock.kind != ClockKind::Paced || !g_pacing.anchored) return -1;
  const uint64_t now = g_clock.paused ? g_pacing.paused_ns : Time().NowNs();
  return double(int64_t(now) - g_pacing.base_ns) / 1e6;
}

void NudgeClock(double ms) {
  if (g_clock.kind == ClockKind::Paced && g_pacing.anchored) g_pacing.base_ns += int64_t(std::llround(ms * 1e6));
}

uint64_t SkippedFrames() { return g_pacing.skipped; }

bool PacedFrameLate() {
  if (g_clock.kind != ClockKind::Paced || !g_pacing.anchored || g_clock.paused || !g_clock.rate) return false;
  // Its refresh has come before it is drawn: the frame shown next is the first
  // whose refresh is still to come.
  return Time().NowNs() >= DueNs(g_clock.frames);
}

void PassLateFrame() {
  if (g_clock.kind != ClockKind::Paced) return;
  ++g_clock.frames;  // counted among the skipped at the next frame shown
}

void UseManualClock(uint32_t value) {
  g_clock.kind = ClockKind::Manual;
  g_clock.manual = value;
}

bool VirtualClockInUse() { return g_clock.kind == ClockKind::Virtual || g_clock.kind == ClockKind::Manual; }

void NoteLoopActivity() { g_clock.activity = true; }

uint64_t TickSleeps() { return g_clock.sleeps; }

void AdvanceClockForPresentedFrame() {
  if (g_clock.kind == ClockKind::Virtual) {
    ++g_clock.frames;
    g_clock.idle_reads = 0;
  }
  if (g_clock.kind != ClockKind::Paced || g_clock.paused || !g_clock.rate) return;
  if (!g_pacing.anchored) {
    // Its refresh is now: a first present that takes long (a new window's
    // surface) makes no frame after it late.
    g_pacing.anchored = true;
    g_pacing.base_ns = int64_t(Time().NowNs()) - std::llround(double(g_clock.frames) * PeriodNs());
  }
  const uint64_t shown = g_clock.frames;
  if (g_pacing.shown_any && shown > g_pacing.last_shown + 1) g_pacing.skipped += shown - g_pacing.last_shown - 1;
  g_pacing.shown_any = true;
  g_pacing.last_shown = shown;
  // A frame shown late is followed by the next one all the same: the frames
  // whose refresh has passed are drawn unseen (PacedFrameLate).
  g_clock.frames = shown + 1;
}

void RestartFrames() {
  g_clock.frames = 0;
  g_clock.idle_reads = 0;
  g_pacing.anchored = false;
  g_pacing.shown_any = false;
}

void PauseClock(bool paused) {
  if (paused == g_clock.paused || (g_clock.kind != ClockKind::Real && g_clock.kind != ClockKind::Paced)) return;
  if (g_clock.kind == ClockKind::Paced) {
    g_clock.paused = paused;
    const uint64_t now = Time().NowNs();
    if (paused)
      g_pacing.paused_ns = now;
    else
      g_pacing.base_ns += int64_t(now - g_pacing.paused_ns);  // the frames go on where they stood
    return;
  }
  g_clock.paused = paused;
  if (paused) {
    g_clock.paused_at = NowMs();
  } else {
    // The time spent paused is taken out of the clock: it goes on where it stood.
    g_clock.real_offset -= int64_t(NowMs() - g_clock.paused_at);
  }
}
bool ClockPaused() { return g_clock.paused; }

bool RunVirtually(unsigned fps) {
  if (g_clock.kind == ClockKind::Paced) {
    // The paced frames' own times, so the frames after the skip are those of
    // a run on a virtual clock at the screen's rate.
    if (!g_clock.rate) SetRefreshRate(60);
    g_clock.after_skip = ClockKind::Paced;
    g_clock.kind = ClockKind::Virtual;
    return true;
  }
  if (g_clock.kind != ClockKind::Real) return false;
  g_clock.after_skip = ClockKind::Real;
  g_clock.kind = ClockKind::Virtual;
  g_clock.rate = fps ? fps : 1;
  g_clock.per_frame = 1;
  return true;
}

void ResumeRealTime() {
  if (g_clock.after_skip == ClockKind::Paced) {
    g_clock.kind = ClockKind::Paced;
    g_pacing.anchored = false;  // the next frame is due when it is shown
    g_pacing.shown_any = false;
    return;
  }
  // Real time goes on from where the virtual clock stood, on the tick grid.
  const uint32_t now = VirtualNow();
  g_clock.kind = ClockKind::Real;
  g_clock.real_offset = int64_t(now) - int64_t(NowMs());
}

uint32_t CurrentTick() {
  if (g_clock.kind == ClockKind::Paced) return PacedNow();
  if (g_clock.kind != ClockKind::Real) return ReadTick();
  return OnTickGrid(RealNowMs());
}

uint32_t ReadTick() {
  switch (g_clock.kind) {
    case ClockKind::Manual: return g_clock.manual;
    case ClockKind::Virtual:
      if (++g_clock.idle_reads >= kIdleReadsPerFrame) AdvanceClockForPresentedFrame();
      return VirtualNow();
    case ClockKind::Paced: return PacedRead();
    case ClockKind::Real: break;
  }
  // While paused the clock stands where the pause began; a wait on it sleeps and
  // keeps taking events, so that the key that lifts the pause is seen.
  while (g_clock.paused && !g_clock.activity && g_clock.last_read != 0) {
    SleepMs(10);
    PumpEvents();
  }
  uint64_t now = RealNowMs();
  uint32_t value = OnTickGrid(now);
  if (value == g_clock.last_read && !g_clock.activity && !g_clock.paused) {
    // Polled again with nothing else done: sleep until the tick is due rather
    // than burn a core; the value read is the one spinning would have found.
    SleepMs(g_clock.system_tick_ms - now % g_clock.system_tick_ms);
    ++g_clock.sleeps;
    value = OnTickGrid(RealNowMs());
  }
  g_clock.last_read = value;
  g_clock.activity = false;
  return value;
}

}  // namespace host
