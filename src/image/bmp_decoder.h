#pragma once
// Windows BMP decoding from bytes: core (OS/2 1.x), info, V4 and V5 headers; 1, 4
// and 8 bits with palettes, RLE4 and RLE8; 16 bits (5-5-5 or bit fields); 24 bits;
// 32 bits (plain or bit fields); bottom-up and top-down rows. Malformed input is
// refused, never trusted: sizes are checked against the bytes before any read.

#include <cstddef>
#include <cstdint>

#include "image/picture.h"

// Pictures with more pixels than this are refused rather than allocated.
constexpr uint64_t kMaxPicturePixels = uint64_t(1) << 26;

bool DecodeBmp(const uint8_t* data, size_t size, Picture& out);
