#include "gfx/frame_sequence.h"

#include <cstdio>
#include <new>

#include "base/logfile.h"

frame_sequence::~frame_sequence() {
  if (frames) free_frames();
}

int frame_sequence::load_frames(const char* prefix, int n) {
  count = n;
  if (n < 0) return 0;
  frames = new (std::nothrow) bitmap[n];
  if (!frames) return 0;
  uint8_t digit[4] = {0, 0, 0, 0};  // thousands, hundreds, tens, units
  for (int i = 0; i < n; ++i) {
    char file[256];
    std::snprintf(file, sizeof file, "%s%d%d%d%d.bmp", prefix, digit[0], digit[1], digit[2], digit[3]);
    if (!frames[i].load(file)) {
      for (int k = 0; k < i; ++k) frames[k].free();
      delete[] frames;
      frames = nullptr;
      log_2d.print("Failed to load bitmap %s!\n", file);
      return 0;
    }
    for (int d = 3; d >= 0; --d) {
      if (++digit[d] <= 9) break;
      digit[d] = 0;  // past 9999 all four wrap: frame 10000 reuses frame 0's name
    }
  }
  return 1;
}

void frame_sequence::free_frames() {
  if (frames)
    for (int i = 0; i < count; ++i) frames[i].free();
  delete[] frames;
  frames = nullptr;
}
