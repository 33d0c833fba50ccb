#pragma once
// Animations stored as numbered BMP files: prefix0000.bmp, prefix0001.bmp, ...

#include <cstdint>

#include "gfx/2d.h"

class frame_sequence {
 public:
  ~frame_sequence();
  // 1 when all `count` frames loaded; otherwise nothing stays loaded.
  int load_frames(const char* prefix, int count);
  void free_frames();

  bitmap* frames = nullptr;
  int count = 0;
};
