#include "image/pcx_decoder.h"

#include <cstring>

#include "base/little_endian.h"

bool ReadPcxHeader(const uint8_t* d, size_t size, PcxHeader& out) {
  if (!d || size < kPcxHeaderSize) return false;
  out.encoding = d[2];
  out.bits_per_plane = d[3];
  out.xmin = ReadLe16(d + 4);
  out.ymin = ReadLe16(d + 6);
  out.xmax = ReadLe16(d + 8);
  out.ymax = ReadLe16(d + 10);
  out.planes = d[65];
  out.bytes_per_line = ReadLe16(d + 66);
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

DecodeResult DecodePcx(const uint8_t* data, size_t size, PcxHeader& h, Picture& out, const DecodeLimits& limits) {
  // Three-plane pictures have no palette; the header must be there before anything
  // is trusted.
  if (!ReadPcxHeader(data, size, h) || (h.planes == 1 && size < kPcxHeaderSize + kPcxPaletteSize))
    return DecodeResult{DecodeError::kTruncated};
  if (h.encoding != 1 || h.bits_per_plane != 8) return DecodeResult{DecodeError::kUnsupported};
  const int width = h.xmax - h.xmin + 1, height = h.ymax - h.ymin + 1;
  if (width <= 0 || height <= 0) return DecodeResult{DecodeError::kCorrupt};
  const int planes = h.planes == 1 || h.planes == 3 ? h.planes : 0;
  const uint64_t row_bytes = h.bytes_per_line > width ? h.bytes_per_line : uint64_t(width);
  if (uint64_t(width) * uint64_t(height) > limits.max_pixels ||
      row_bytes * planes * height > (size - kPcxHeaderSize) * kMaxPcxBytesPerFileByte)
    return DecodeResult{DecodeError::kTooLarge};

  Picture pic;
  pic.width = width;
  pic.height = height;
  pic.pixels.assign(size_t(width) * height, 0);
  if (planes) {
    PcxPlanes decoded;
    if (!DecodePcxPlanes(data, size, h, width, height, decoded)) return DecodeResult{DecodeError::kTooLarge};
    const uint8_t* palette = data + size - kPcxPaletteSize;
    const size_t rb = decoded.row_bytes;
    for (int y = 0; y < height; ++y) {
      const uint8_t* row = decoded.bytes.data() + size_t(y) * planes * rb;
      uint32_t* to = pic.pixels.data() + size_t(y) * width;
      if (planes == 1) {
        for (int x = 0; x < width; ++x) {
          const uint8_t* e = palette + 3 * row[x];
          to[x] = e[0] + 256u * e[1] + 65536u * e[2];
        }
      } else {
        for (int x = 0; x < width; ++x) to[x] = row[x] + 256u * row[rb + x] + 65536u * row[2 * rb + x];
      }
    }
  }
  out = std::move(pic);
  return {};
}
