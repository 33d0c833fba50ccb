#include "image/pcx_decoder.h"

#include <cstring>

namespace {
uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
}  // namespace

bool ReadPcxHeader(const uint8_t* d, size_t size, PcxHeader& out) {
  if (!d || size < kPcxHeaderSize) return false;
  out.encoding = d[2];
  out.bits_per_plane = d[3];
  out.xmin = U16(d + 4);
  out.ymin = U16(d + 6);
  out.xmax = U16(d + 8);
  out.ymax = U16(d + 10);
  out.planes = d[65];
  out.bytes_per_line = U16(d + 66);
  return true;
}

size_t DecodePcxRuns(const uint8_t* data, size_t size, size_t offset, uint8_t* out, size_t count) {
  size_t written = 0, i = offset;
  while (written < count && i < size) {
    uint8_t c = data[i++];
    if (c > 192) {
      if (i >= size) break;
      uint8_t v = data[i++];
      size_t run = c - 192u;
      if (run > count - written) run = count - written;
      std::memset(out + written, v, run);
      written += run;
    } else {
      out[written++] = c;
    }
  }
  return written;
}

bool DecodePcxPlanes(const uint8_t* data, size_t size, const PcxHeader& header, int width, int height, PcxPlanes& out) {
  if (width <= 0 || height <= 0 || header.planes == 0) return false;
  out.row_bytes = header.bytes_per_line > width ? header.bytes_per_line : size_t(width);
  out.planes = header.planes;
  const uint64_t count = uint64_t(out.row_bytes) * out.planes * uint64_t(height);
  if (count > kMaxPcxDecodeBytes) return false;
  out.bytes.assign(size_t(count), 0);
  DecodePcxRuns(data, size, kPcxHeaderSize, out.bytes.data(), out.bytes.size());
  return true;
}
