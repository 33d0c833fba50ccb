#pragma once
// The demo's millisecond timeline: which part plays at which demo time.

#include <string>

#include "winapi/win32.h"

// The five parts, in the order they play; g_nDemoMode holds one of them.
enum DemoPart : int { kPartBios = 0, kPartSlide = 1, kPartTwirl = 2, kPartBump = 3, kPartCola = 4 };

// The last millisecond of each part; the demo ends after kDemoEndMs.
constexpr DWORD kBiosEndMs = 25000;
constexpr DWORD kSlideEndMs = 36000;
constexpr DWORD kTwirlEndMs = 62000;
constexpr DWORD kBumpEndMs = 68000;
constexpr DWORD kDemoEndMs = 106000;

// The part for the demo clock as it stands before a step's clock update. At 0 ms
// the part stays `current` (0 at start).
int PartAt(DWORD elapsed, int current);
// The part's name as the viewer reads it: power-on, slide, twirl, bump, bottle.
const char* PartName(int part);
// The first millisecond of `part`: 0, then the one after the part before it.
inline DWORD PartStartMs(int part) {
  const DWORD ends[] = {0, kBiosEndMs, kSlideEndMs, kTwirlEndMs, kBumpEndMs};
  return part > kPartBios && part <= kPartCola ? ends[part] + 1 : 0;
}
// "1:23": minutes and seconds, down to the second.
std::string MinutesSeconds(DWORD ms);
// True once the clock has passed the end of the timeline.
inline bool TimelineOver(DWORD elapsed) { return elapsed > kDemoEndMs; }
