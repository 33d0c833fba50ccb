#pragma once
// Moves of the demo a viewer asks for: a key (5 s, 30 s, a part, a tenth of the
// way), the console's goto, or the end of a loop. The driver's loop takes the
// request before its next step and replays the timeline to it.

#include <cstdint>
#include <optional>

#include "host/key_code.h"

// The demo time a viewer's key asks for, from the demo time `now_ms`: past
// kDemoEndMs when it moves past the end, never below 0; none for a key that is
// no move.
std::optional<long> SeekTargetFor(host::Key key, uint32_t now_ms);

void RequestSeek(long demo_ms);
// The latest request since the last take, if any.
std::optional<long> TakeSeekRequest();

// While paused: the next frame of the live rate, shown and paused again.
void RequestStep();
bool TakeStepRequest();
// The demo time of the frame drawn last (the clock runs on while a step waits
// for the next tick, so it is ahead of the frame on the screen).
void NoteFrameDrawn(uint32_t demo_ms);
uint32_t LastFrameDrawnMs();
// While paused: the demo time whose frame is the one before the frame shown at
// `shown_ms`, frames coming `frame_rate` times a second (0: the 10 ms tick's).
long PreviousFrameTime(uint32_t shown_ms, double frame_rate);

// With --loop: where the demo starts again when it ends (the --start time, or
// 0); none to end as usual.
void SetLoopStart(std::optional<long> demo_ms);
std::optional<long> LoopStart();
