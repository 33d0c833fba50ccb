#include "shell/timeline.h"

#include <cstdio>

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

std::string MinutesSeconds(DWORD ms) {
  char text[16];
  std::snprintf(text, sizeof text, "%lu:%02lu", static_cast<unsigned long>(ms / 60000),
                static_cast<unsigned long>(ms / 1000 % 60));
  return text;
}
