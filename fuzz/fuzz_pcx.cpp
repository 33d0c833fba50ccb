// Reads the bytes as a PCX picture the way the loader does: header, planes and,
// for palette pictures, every pixel's palette entry.
#include <cstddef>
#include <cstdint>

#include "image/pcx_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PcxHeader h;
  if (!ReadPcxHeader(data, size, h)) return 0;
  const int width = h.xmax - h.xmin + 1, height = h.ymax - h.ymin + 1;
  // Huge pictures take no other path, only time: keep the fuzzer fast.
  const uint64_t row = h.bytes_per_line > width ? h.bytes_per_line : uint64_t(width > 0 ? width : 0);
  if (height > 0 && row * h.planes * uint64_t(height) > (1u << 22)) return 0;
  PcxPlanes planes;
  if (!DecodePcxPlanes(data, size, h, width, height, planes)) return 0;
  if (h.planes == 1 && size >= kPcxHeaderSize + kPcxPaletteSize) {
    const uint8_t* palette = data + size - kPcxPaletteSize;
    unsigned sum = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) sum += palette[3 * planes.bytes[size_t(y) * planes.row_bytes + x]];
    volatile unsigned keep = sum;
    (void)keep;
  }
  return 0;
}
