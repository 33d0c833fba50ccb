#pragma once
// Windows BMP decoding from bytes: core (OS/2 1.x), info, V4 and V5 headers; 1, 4
// and 8 bits with palettes, RLE4 and RLE8; 16 bits (5-5-5 or bit fields); 24 bits;
// 32 bits (plain or bit fields); bottom-up and top-down rows. Malformed input is
// refused, never trusted: sizes are checked against the bytes before any read.

#include <cstddef>
#include <cstdint>

#include "image/decode_result.h"
#include "image/picture.h"

// Run-length data codes at most 255 pixels in two bytes; pictures that claim more
// pixels than that allows for their bytes are refused before anything is allocated.
constexpr uint64_t kMaxRlePixelsPerByte = 128;

DecodeResult DecodeBmp(const uint8_t* data, size_t size, Picture& out, const DecodeLimits& limits = {});
