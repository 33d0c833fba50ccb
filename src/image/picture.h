#pragma once
// A decoded picture: its own size and XRGB8888 pixels (blue in bits 0-7, green
// 8-15, red 16-23), top row first.

#include <cstdint>
#include <vector>

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

// Pictures with more pixels than this are refused rather than allocated.
constexpr uint64_t kMaxPicturePixels = uint64_t(1) << 26;

// What a decoder may allocate, given by its caller: pictures of more pixels are
// refused. (How many decoded bytes a file byte can code is the format's own
// limit, and each decoder applies it too.)
struct DecodeLimits {
  uint64_t max_pixels = kMaxPicturePixels;
};
