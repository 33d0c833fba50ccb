#pragma once
// The demo's clock, in milliseconds: real time in steps of the system tick, a
// virtual clock that moves with presented frames, or a clock that stands where
// a test puts it. The old tick-count call reads it through ReadTick.

#include <cstdint>
#include <functional>

namespace host {

// The real tick count, moving in steps of `system_tick_ms` (10 by default).
void UseRealClock(uint32_t system_tick_ms = 10);
// A virtual clock that moves only when a frame is presented, by 1000/fps ms spread
// evenly (fps 60 gives 16, 17, 17, 16, ...), so runs are deterministic and as fast
// as the machine allows.
void UseVirtualClock(unsigned fps);
// A clock that stands at `value` until set again (tests).
void UseManualClock(uint32_t value);
bool VirtualClockInUse();

// The program's read of the tick count. On the real clock a read that finds the
// same value with no loop activity (NoteLoopActivity) since the last read is a
// wait for the tick to move, and sleeps until it does instead of spinning.
uint32_t ReadTick();
// The tick count for the host's own use (message times, timers): never sleeps
// and does not count as the program's read.
uint32_t CurrentTick();
// Called by the calls a program makes between two steps of its loop (taking a
// message, reading input).
void NoteLoopActivity();
// How often a read of the real tick count slept until the tick moved.
uint64_t TickSleeps();

// Called for every frame presented (or skipped); moves the virtual clock.
void AdvanceClockForPresentedFrame();
// The virtual clock's frames back to nothing.
void RestartFrames();

// A real clock that stands: reads give the time the pause began until it is
// lifted, then go on from there. No effect on a virtual clock.
void PauseClock(bool paused);
bool ClockPaused();
// What a read waiting on a paused clock runs meanwhile, so that the key that
// lifts the pause is seen (the window's event pump).
void SetPausedWaitPump(std::function<void()> pump);

// The way to a start time runs on a virtual clock of `fps` frames a second, as
// fast as the machine allows; real time then takes over where it stands.
// RunVirtually is false (and does nothing) when the clock is not the real one.
bool RunVirtually(unsigned fps);
void ResumeRealTime();

}  // namespace host
