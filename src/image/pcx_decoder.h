#pragma once
// PCX header fields and run-length decoding, from bytes.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/decode_result.h"
#include "image/picture.h"

constexpr size_t kPcxHeaderSize = 128;
constexpr size_t kPcxPaletteSize = 768;
// Decode buffers past this size are refused rather than allocated.
constexpr uint64_t kMaxPcxDecodeBytes = uint64_t(1) << 28;
// A run codes at most 63 bytes in two; pictures that need more decoded bytes than
// that allows for the file's size are refused before anything is allocated.
constexpr uint64_t kMaxPcxBytesPerFileByte = 32;

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

// The decoded planes of a picture of the given size: for each row, `planes` plane
// rows of `row_bytes` each. A plane row is `width` bytes, or the header's bytes
// per line when that is larger: writers that follow the format pad each plane row
// to an even length, and reading exactly `width` bytes would shear the picture.
// Empty when the buffer would be larger than any picture the program accepts.
struct PcxPlanes {
  std::vector<uint8_t> bytes;
  size_t row_bytes = 0;
  int planes = 0;
};
bool DecodePcxPlanes(const uint8_t* data, size_t size, const PcxHeader& header, int width, int height, PcxPlanes& out);

// The whole picture from a file's bytes: the header (stored in `header` as soon as
// it could be read), then 8-bit palette pictures (1 plane, the palette in the last
// 768 bytes, entry bytes from lowest to highest channel) or 24-bit pictures (3
// planes). Other plane counts give a black picture of the header's size. Fails on
// a short header or palette, encoding other than run-length, planes of other than 8
// bits, an empty or reversed size, or a size the bytes cannot plausibly hold.
DecodeResult DecodePcx(const uint8_t* data, size_t size, PcxHeader& header, Picture& out,
                       const DecodeLimits& limits = {});
