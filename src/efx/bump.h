#pragma once
// Bump mapping: a colour picture lit by a point light, with relief from a height
// picture of the same size.

#include <cstdint>
#include <vector>

#include "gfx/2d.h"

class efx_bump : public bitmap {
 public:
  ~efx_bump();
  bool create(const char* bump_file, const char* height_file, const char* text);
  void run(bitmap& destination, int unused);
  bool free();

  int8_t* heightmap = nullptr;
  int8_t** lightmapr = nullptr;  // [horizontal offset][vertical offset]
  int8_t** lightmapg = nullptr;
  int8_t** lightmapb = nullptr;
  int16_t light_x = 0;
  int16_t light_y = 0;
  DWORD run_count = 0;

 private:
  // What run needs per pixel that never changes after create: the height map's
  // slopes across and down, and the three light tables flattened ([dx * 128 + dy]).
  void PrepareFastPath();
  bool RunXrgb(bitmap& destination, int w, int h);
  std::vector<int8_t> slope_x_, slope_y_;  // heights are 0..127, so slopes fit
  std::vector<uint8_t> light_;
};
