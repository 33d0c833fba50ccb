#include "image/bmp_decoder.h"

#include <cstring>

#include "base/little_endian.h"

namespace {

constexpr uint32_t BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3, BI_ALPHABITFIELDS = 6;

// One channel of a bit-field pixel, scaled to 0-255.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  uint32_t max = 0;
  explicit Channel(uint32_t m = 0) : mask(m) {
    if (!m) return;
    while (!((m >> shift) & 1)) ++shift;
    max = m >> shift;
    while (max & (max + 1)) max >>= 1;  // keep the contiguous low run only
  }
  // Widened to 8 bits by repeating the channel's bits (5-bit 24 gives 198), as the
  // system loaders do; wider channels keep their top 8 bits.
  uint32_t Of(uint32_t v) const {
    if (!max) return 0;
    uint32_t c = ((v & mask) >> shift) & max;
    int bits = 0;
    while (bits < 32 && ((max >> bits) & 1)) ++bits;
    if (bits >= 8) return c >> (bits - 8);
    uint32_t out = 0;
    for (int filled = 0; filled < 8; filled += bits) out = out << bits | c;
    int total = ((8 + bits - 1) / bits) * bits;
    return out >> (total - 8);
  }
};

struct Header {
  int64_t width = 0, height = 0;
  bool top_down = false;
  unsigned bits = 0;
  uint32_t compression = BI_RGB;
  uint32_t colours_used = 0;
  uint32_t masks[3] = {0, 0, 0};
  size_t palette_offset = 0;
  unsigned palette_entry = 4;
};

}  // namespace

DecodeResult DecodeBmp(const uint8_t* d, size_t size, Picture& out, const DecodeLimits& limits) {
  if (!d || size < 2 || d[0] != 'B' || d[1] != 'M') return DecodeResult{DecodeError::kNotPicture};
  if (size < 14 + 12) return DecodeResult{DecodeError::kTruncated};
  const uint32_t pixel_offset = ReadLe32(d + 10);
  const uint32_t header_size = ReadLe32(d + 14);
  if (header_size < 12) return DecodeResult{DecodeError::kCorrupt};
  if (header_size > size - 14) return DecodeResult{DecodeError::kTruncated};
  Header h;
  const uint8_t* ih = d + 18;
  if (header_size == 12) {
    h.width = ReadLe16(ih);
    h.height = ReadLe16(ih + 2);
    h.bits = ReadLe16(ih + 6);
    h.palette_entry = 3;
  } else {
    if (header_size < 40) return DecodeResult{DecodeError::kUnsupported};
    h.width = int32_t(ReadLe32(ih));
    int32_t height = int32_t(ReadLe32(ih + 4));
    h.top_down = height < 0;
    h.height = h.top_down ? -int64_t(height) : height;
    h.bits = ReadLe16(ih + 10);
    h.compression = ReadLe32(ih + 12);
    h.colours_used = ReadLe32(ih + 28);
    // Masks sit right after the 40-byte info part: inside a V2 to V5 header, or
    // following a plain info header.
    const size_t masks_at = 14 + 40;
    if (h.compression == BI_BITFIELDS || h.compression == BI_ALPHABITFIELDS) {
      unsigned count = h.compression == BI_ALPHABITFIELDS ? 4 : 3;
      if (size < masks_at + 4 * count) return DecodeResult{DecodeError::kTruncated};
      for (int i = 0; i < 3; ++i) h.masks[i] = ReadLe32(d + masks_at + 4 * i);
    }
  }
  h.palette_offset = 14 + size_t(header_size);
  if (header_size == 40 && h.compression == BI_BITFIELDS) h.palette_offset += 12;
  if (header_size == 40 && h.compression == BI_ALPHABITFIELDS) h.palette_offset += 16;

  if (h.width <= 0 || h.height <= 0) return DecodeResult{DecodeError::kCorrupt};
  if (h.width > 65535 || h.height > 65535) return DecodeResult{DecodeError::kTooLarge};
  if (uint64_t(h.width) * uint64_t(h.height) > limits.max_pixels) return DecodeResult{DecodeError::kTooLarge};
  const bool rle = h.compression == BI_RLE8 || h.compression == BI_RLE4;
  if (rle && h.top_down) return DecodeResult{DecodeError::kUnsupported};
  switch (h.bits) {
    case 1:
    case 4:
    case 8:
      if (!(h.compression == BI_RGB || (h.compression == BI_RLE8 && h.bits == 8) ||
            (h.compression == BI_RLE4 && h.bits == 4)))
        return DecodeResult{DecodeError::kUnsupported};
      break;
    case 16:
    case 32:
      if (h.compression != BI_RGB && h.compression != BI_BITFIELDS && h.compression != BI_ALPHABITFIELDS)
        return DecodeResult{DecodeError::kUnsupported};
      break;
    case 24:
      if (h.compression != BI_RGB) return DecodeResult{DecodeError::kUnsupported};
      break;
    default: return DecodeResult{DecodeError::kUnsupported};
  }

  // Palette.
  uint32_t palette[256];
  unsigned palette_size = 0;
  if (h.bits <= 8) {
    unsigned max_entries = 1u << h.bits;
    palette_size = (h.colours_used && header_size != 12) ? h.colours_used : max_entries;
    if (palette_size > max_entries) palette_size = max_entries;
    if (h.palette_offset + uint64_t(palette_size) * h.palette_entry > size)
      return DecodeResult{DecodeError::kTruncated};
    for (unsigned i = 0; i < palette_size; ++i) {
      const uint8_t* e = d + h.palette_offset + size_t(i) * h.palette_entry;
      palette[i] = uint32_t(e[2]) << 16 | uint32_t(e[1]) << 8 | e[0];
    }
  }
  if (pixel_offset >= size) return DecodeResult{DecodeError::kTruncated};

  const int W = int(h.width), H = int(h.height);
  const size_t avail = size - pixel_offset;
  // Memory follows what the file holds: uncompressed rows must all be there, and
  // run-length data reaches at most 255 pixels per two bytes (skips aside, which no
  // picture of real content is made of).
  const uint64_t stride = ((uint64_t(W) * h.bits + 31) / 32) * 4;
  if (!rle && stride * H > avail) return DecodeResult{DecodeError::kTruncated};
  if (rle && uint64_t(W) * H > uint64_t(avail) * kMaxRlePixelsPerByte) return DecodeResult{DecodeError::kTooLarge};

  Picture pic;
  pic.width = W;
  pic.height = H;
  pic.pixels.assign(size_t(W) * H, 0);
  auto row_of = [&](int file_row) { return h.top_down ? file_row : H - 1 - file_row; };
  const uint8_t* px = d + pixel_offset;

  if (rle) {
    size_t i = 0;
    int x = 0, y = 0;  // y counts file rows, bottom row first
    const bool four = h.compression == BI_RLE4;
    // Encoders code the padding of each row too (ImageMagick does), so pixels past
    // the picture are dropped, as the Windows loader drops them.
    auto put = [&](unsigned index) {
      if (index >= palette_size) return false;
      if (x < W && y < H) pic.pixels[size_t(row_of(y)) * W + x] = palette[index];
      ++x;
      return true;
    };
    for (;;) {
      if (i + 2 > avail) return DecodeResult{DecodeError::kTruncated};
      uint8_t count = px[i], value = px[i + 1];
      i += 2;
      if (count) {
        for (unsigned k = 0; k < count; ++k)
          if (!put(four ? ((k & 1) ? value & 15 : value >> 4) : value)) return DecodeResult{DecodeError::kCorrupt};
      } else if (value == 0) {
        x = 0;
        ++y;
      } else if (value == 1) {
        break;
      } else if (value == 2) {
        if (i + 2 > avail) return DecodeResult{DecodeError::kTruncated};
        x += px[i];
        y += px[i + 1];
        i += 2;
      } else {
        size_t bytes = four ? (value + 1u) / 2 : value;
        if (i + bytes > avail) return DecodeResult{DecodeError::kTruncated};
        for (unsigned k = 0; k < value; ++k) {
          uint8_t b = px[i + (four ? k / 2 : k)];
          if (!put(four ? ((k & 1) ? b & 15 : b >> 4) : b)) return DecodeResult{DecodeError::kCorrupt};
        }
        i += (bytes + 1) & ~size_t(1);
      }
      if (x > 0xFFFF || y > 0xFFFF)
        return DecodeResult{DecodeError::kCorrupt};  // far past any picture: a corrupt stream
    }
    out = std::move(pic);
    return {};
  }

  Channel red, green, blue;
  if (h.compression == BI_BITFIELDS || h.compression == BI_ALPHABITFIELDS) {
    red = Channel(h.masks[0]), green = Channel(h.masks[1]), blue = Channel(h.masks[2]);
  } else if (h.bits == 16) {
    red = Channel(0x7C00), green = Channel(0x03E0), blue = Channel(0x001F);
  }
  const bool fields = h.bits == 16 || (h.bits == 32 && h.compression != BI_RGB);
  for (int fy = 0; fy < H; ++fy) {
    const uint8_t* row = px + stride * fy;
    uint32_t* to = &pic.pixels[size_t(row_of(fy)) * W];
    for (int x = 0; x < W; ++x) {
      uint32_t v;
      if (h.bits <= 8) {
        unsigned per_byte = 8 / h.bits;
        unsigned shift = 8 - h.bits * (1 + x % per_byte);
        unsigned index = (row[x / per_byte] >> shift) & ((1u << h.bits) - 1);
        if (index >= palette_size) return DecodeResult{DecodeError::kCorrupt};
        v = palette[index];
      } else if (h.bits == 24) {
        const uint8_t* p = row + size_t(x) * 3;
        v = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
      } else {
        uint32_t raw = h.bits == 16 ? ReadLe16(row + size_t(x) * 2) : ReadLe32(row + size_t(x) * 4);
        v = fields ? red.Of(raw) << 16 | green.Of(raw) << 8 | blue.Of(raw) : raw & 0xFFFFFF;
      }
      to[x] = v;
    }
  }
  out = std::move(pic);
  return {};
}
