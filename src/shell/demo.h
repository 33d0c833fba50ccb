#pragma once
// The demo driver: start-up, the millisecond timeline of five parts, shut-down.

#include <cstdint>

#include "winapi/win32.h"

extern int g_nDemoMode;

namespace demo {
// The driver's `main`, kept apart from the program's own entry point.
int main(int argc, char* argv[]);
// Update steps run since the timeline started (one per millisecond of demo time).
uint64_t UpdateStepCount();
// The timeline's state back to where a fresh start has it: the part, the frame
// clock, and the phases the effects carry from frame to frame. The console's
// goto and the tests start from here.
void ResetTimeline();
}  // namespace demo
