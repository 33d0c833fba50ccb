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

// With --loop: where the demo starts again when it ends (the --start time, or
// 0); none to end as usual.
void SetLoopStart(std::optional<long> demo_ms);
std::optional<long> LoopStart();
