#pragma once
// The demo's clock, in milliseconds: real time in steps of the system tick, a
// virtual clock that moves with presented frames, or a clock that stands where
// a test puts it. The old tick-count call reads it through ReadTick.

#include <cstdint>

namespace host {

// The real tick count, moving in steps of `system_tick_ms` (10 by default).
void UseRealClock(uint32_t system_tick_ms = 10);
// A virtual clock that moves only when a frame is presented, by 1000/fps ms spread
// evenly (fps 60 gives 16, 17, 17, 16, ...), so runs are deterministic and as fast
// as the machine allows.
void UseVirtualClock(unsigned fps);
// A clock that stands at `value` until set again (tests).
void UseManualClock(uint32_t value);
// Whether the clock moves only with presented frames (or not at all).
bool VirtualClockInUse();

// Live playback paced by the screen: one new frame per refresh (every k-th
// refresh above 100 Hz, k the smallest that brings the rate to 100 or below),
// each showing the demo at the moment it reaches the screen, so the frames are
// those of a virtual clock at that rate. A frame that comes late is followed by
// the one due at the next refresh; the frames between are drawn all the same,
// unseen (PacedFrameLate). `refresh_hz` 0: set by SetRefreshRate once
// the screen is known. Time comes from the time source (host/time_source.h).
void UsePacedClock(unsigned refresh_hz);
bool PacedClockInUse();
bool RefreshRateKnown();
void SetRefreshRate(unsigned refresh_hz);
// Frames a second of the paced clock (0 before the rate is known).
double PacedFrameRate();
// Before a frame is shown: sleeps until it is due. The first frame (and the
// first after a skip or a restart) is due at once, and the frames after it are
// due from the moment it has been shown.
void WaitForFrameDue();
// The demo's time at this moment by the paced clock, continuous between frames;
// negative before the first frame.
double PacedPictureMs();
// Moves the paced clock's frames later by `ms` (earlier when negative): the
// picture following the sound.
void NudgeClock(double ms);
// Frames of the paced clock that were never shown.
uint64_t SkippedFrames();
// Whether the paced clock's next frame is too late for its refresh: the
// refresh has come before the frame is drawn. It is drawn unseen (PassLateFrame), not skipped,
// for the frames after it build on it.
bool PacedFrameLate();
// Moves the paced clock past its next frame, which is not shown.
void PassLateFrame();

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

// Called for every frame presented (or skipped); moves the virtual clock, and
// the paced clock to the frame due next.
void AdvanceClockForPresentedFrame();
// The virtual clock's frames back to nothing.
void RestartFrames();

// A real or paced clock that stands: reads give the time the pause began until
// it is lifted, then go on from there. No effect on a virtual clock.
void PauseClock(bool paused);
bool ClockPaused();

// The way to a start time runs on a virtual clock of `fps` frames a second, as
// fast as the machine allows; real time then takes over where it stands.
// RunVirtually is false (and does nothing) when the clock is not the real one;
// a paced clock runs the way there on its own frames' times.
bool RunVirtually(unsigned fps);
void ResumeRealTime();

}  // namespace host
