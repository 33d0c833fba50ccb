#pragma once
// PCX header fields and run-length decoding, from bytes.

#include <cstddef>
#include <cstdint>

constexpr size_t kPcxHeaderSize = 128;
constexpr size_t kPcxPaletteSize = 768;

struct PcxHeader {
  uint8_t encoding;
  uint8_t bits_per_plane;
  uint16_t xmin, ymin, xmax, ymax;
  uint8_t planes;
  uint16_t bytes_per_line;
};

// False when there are fewer than 128 bytes.
bool ReadPcxHeader(const uint8_t* data, size_t size, PcxHeader& out);

// Run-length decodes from data[offset] on into out[0..count): a byte c above 192
// repeats the next byte c - 192 times, any other byte stands for itself. Runs cross
// row and plane boundaries; a run that passes the end of `out` stops there. Stops
// at the end of the bytes, leaving the rest of `out` untouched. Returns the number
// of bytes written.
size_t DecodePcxRuns(const uint8_t* data, size_t size, size_t offset, uint8_t* out, size_t count);
