#pragma once
// Vertex animation: key frames of one shape, read from a multi-object file,
// blended linearly by a time in hundredths of a key interval.

#include "efx/object3d.h"

class efx_3d_animation {
 public:
  ~efx_3d_animation();
  bool load(const char* file_name);
  // Times outside 0 to (key frames - 1) x 100 wrap into that range.
  void set_time(float t);
  float time() const { return time_; }
  void draw(bitmap& target);

  efx_3d* objects = nullptr;
  efx_3d* current = nullptr;
  efx_3d* next = nullptr;
  efx_3d* work = nullptr;  // the shape that is drawn: set its rotation, scale and projection
  int weight = 0;          // hundredths of the way from current to next
  float time_ = 0;
  int interval_count = 0;
};
