#pragma once
// The demo driver: start-up, the millisecond timeline of five parts, shut-down.

#include <cstdint>

#include "platform/win32.h"

extern int g_nDemoMode;
// Entry i belongs to i x 6.283 / 360 radians (6.283, not 2 pi).
extern double COS[360];
extern double SIN[360];

void InitTables();

namespace demo {
// The driver's `main`, kept apart from the program's own entry point.
int main(int argc, char* argv[]);
// Update steps run so far (one per millisecond of demo time).
uint64_t UpdateStepCount();
}  // namespace demo
