#include "shell/timeline.h"

int PartAt(DWORD elapsed, int current) {
  // Each rung overrides the one before, as unsigned comparisons.
  int part = current;
  if (elapsed >= 1) part = kPartBios;
  if (elapsed > kBiosEndMs) part = kPartSlide;
  if (elapsed > kSlideEndMs) part = kPartTwirl;
  if (elapsed > kTwirlEndMs) part = kPartBump;
  if (elapsed > kBumpEndMs) part = kPartCola;
  return part;
}

const char* PartName(int part) {
  static const char* const names[] = {"power-on", "slide", "twirl", "bump", "bottle"};
  return part >= kPartBios && part <= kPartCola ? names[part] : "?";
}
