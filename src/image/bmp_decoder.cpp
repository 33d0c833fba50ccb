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
  uint32_t header_size = 0;
  uint32_t pixel_offset = 0;

  bool Rle() const { return compression == BI_RLE8 || compression == BI_RLE4; }
  bool BitFields() const { return compression == BI_BITFIELDS || compression == BI_ALPHABITFIELDS; }
};

struct Palette {
  uint32_t colours[256];
  unsigned size = 0;
};

constexpr DecodeResult Fail(DecodeError error) { return DecodeResult{error}; }

// An info header (40 bytes) or a later one that begins with it.
DecodeResult ReadInfoHeader(const uint8_t* d, size_t size, Header& h) {
  if (h.header_size < 40) return Fail(DecodeError::kUnsupported);
  const uint8_t* ih = d + 18;
  h.width = int32_t(ReadLe32(ih));
  const int32_t height = int32_t(ReadLe32(ih + 4));
  h.top_down = height < 0;
  h.height = h.top_down ? -int64_t(height) : height;
  h.bits = ReadLe16(ih + 10);
  h.compression = ReadLe32(ih + 12);
  h.colours_used = ReadLe32(ih + 28);
  // Masks sit right after the 40-byte info part: inside a V2 to V5 header, or
  // following a plain info header.
  const size_t masks_at = 14 + 40;
  if (h.BitFields()) {
    const unsigned count = h.compression == BI_ALPHABITFIELDS ? 4 : 3;
    if (size < masks_at + 4 * count) return Fail(DecodeError::kTruncated);
    for (int i = 0; i < 3; ++i) h.masks[i] = ReadLe32(d + masks_at + 4 * i);
  }
  return {};
}

// The file header and the picture's own header, core (OS/2) or info.
DecodeResult ReadHeader(const uint8_t* d, size_t size, Header& h) {
  if (!d || size < 2 || d[0] != 'B' || d[1] != 'M') return Fail(DecodeError::kNotPicture);
  if (size < 14 + 12) return Fail(DecodeError::kTruncated);
  h.pixel_offset = ReadLe32(d + 10);
  h.header_size = ReadLe32(d + 14);
  if (h.header_size < 12) return Fail(DecodeError::kCorrupt);
  if (h.header_size > size - 14) return Fail(DecodeError::kTruncated);
  if (h.header_size == 12) {
    const uint8_t* ih = d + 18;
    h.width = ReadLe16(ih);
    h.height = ReadLe16(ih + 2);
    h.bits = ReadLe16(ih + 6);
    h.palette_entry = 3;
  } else if (DecodeResult r = ReadInfoHeader(d, size, h); !r) {
    return r;
  }
  h.palette_offset = 14 + size_t(h.header_size);
  if (h.header_size == 40 && h.compression == BI_BITFIELDS) h.palette_offset += 12;
  if (h.header_size == 40 && h.compression == BI_ALPHABITFIELDS) h.palette_offset += 16;
  return {};
}

// Palettes of 1, 4 or 8 bits, run-length coded only at their own depth; bit
// fields at 16 and 32 bits; 24 bits only plain.
bool DepthFitsCompression(const Header& h) {
  switch (h.bits) {
    case 1: return h.compression == BI_RGB;
    case 4: return h.compression == BI_RGB || h.compression == BI_RLE4;
    case 8: return h.compression == BI_RGB || h.compression == BI_RLE8;
    case 16:
    case 32: return h.compression == BI_RGB || h.BitFields();
    case 24: return h.compression == BI_RGB;
    default: return false;
  }
}

// The size within the limits, and a depth with a compression it can have.
DecodeResult CheckFormat(const Header& h, const DecodeLimits& limits) {
  if (h.width <= 0 || h.height <= 0) return Fail(DecodeError::kCorrupt);
  if (h.width > 65535 || h.height > 65535) return Fail(DecodeError::kTooLarge);
  if (uint64_t(h.width) * uint64_t(h.height) > limits.max_pixels) return Fail(DecodeError::kTooLarge);
  if (h.Rle() && h.top_down) return Fail(DecodeError::kUnsupported);
  return DepthFitsCompression(h) ? DecodeResult{} : Fail(DecodeError::kUnsupported);
}

DecodeResult ReadPalette(const uint8_t* d, size_t size, const Header& h, Palette& palette) {
  if (h.bits > 8) return {};
  const unsigned max_entries = 1u << h.bits;
  palette.size = (h.colours_used && h.header_size != 12) ? h.colours_used : max_entries;
  if (palette.size > max_entries) palette.size = max_entries;
  if (h.palette_offset + uint64_t(palette.size) * h.palette_entry > size) return Fail(DecodeError::kTruncated);
  for (unsigned i = 0; i < palette.size; ++i) {
    const uint8_t* e = d + h.palette_offset + size_t(i) * h.palette_entry;
    palette.colours[i] = uint32_t(e[2]) << 16 | uint32_t(e[1]) << 8 | e[0];
  }
  return {};
}

// Run-length data, drawn into the picture: pixels at (x, y), y counting file
// rows from the bottom.
class RleDecoder {
 public:
  RleDecoder(const uint8_t* px, size_t avail, const Header& h, const Palette& palette, Picture& pic)
      : px_(px), avail_(avail), four_(h.compression == BI_RLE4), palette_(palette), pic_(pic) {}

  DecodeResult Run() {
    for (;;) {
      if (i_ + 2 > avail_) return Fail(DecodeError::kTruncated);
      const uint8_t count = px_[i_], value = px_[i_ + 1];
      i_ += 2;
      if (count == 0 && value == 1) return {};
      const DecodeResult r = count ? Repeat(count, value) : Escape(value);
      if (!r) return r;
      if (x_ > 0xFFFF || y_ > 0xFFFF) return Fail(DecodeError::kCorrupt);  // far past any picture: a corrupt stream
    }
  }

 private:
  // Encoders code the padding of each row too (ImageMagick does), so pixels past
  // the picture are dropped, as the Windows loader drops them.
  bool Put(unsigned index) {
    if (index >= palette_.size) return false;
    if (x_ < pic_.width && y_ < pic_.height)
      pic_.pixels[size_t(pic_.height - 1 - y_) * pic_.width + x_] = palette_.colours[index];
    ++x_;
    return true;
  }
  unsigned Nibble(uint8_t b, unsigned k) const { return four_ ? ((k & 1) ? b & 15 : b >> 4) : b; }

  DecodeResult Repeat(unsigned count, uint8_t value) {
    for (unsigned k = 0; k < count; ++k)
      if (!Put(Nibble(value, k))) return Fail(DecodeError::kCorrupt);
    return {};
  }

  // After a zero count: end of row, a move, or a run of literal pixels.
  DecodeResult Escape(uint8_t value) {
    if (value == 0) {
      x_ = 0;
      ++y_;
      return {};
    }
    if (value == 2) {
      if (i_ + 2 > avail_) return Fail(DecodeError::kTruncated);
      x_ += px_[i_];
      y_ += px_[i_ + 1];
      i_ += 2;
      return {};
    }
    const size_t bytes = four_ ? (value + 1u) / 2 : value;
    if (i_ + bytes > avail_) return Fail(DecodeError::kTruncated);
    for (unsigned k = 0; k < value; ++k)
      if (!Put(Nibble(px_[i_ + (four_ ? k / 2 : k)], k))) return Fail(DecodeError::kCorrupt);
    i_ += (bytes + 1) & ~size_t(1);
    return {};
  }

  const uint8_t* px_;
  size_t avail_;
  bool four_;
  const Palette& palette_;
  Picture& pic_;
  size_t i_ = 0;
  int x_ = 0, y_ = 0;
};

DecodeResult DecodeIndexedRow(const uint8_t* row, unsigned bits, const Palette& palette, uint32_t* to, int width) {
  const unsigned per_byte = 8 / bits;
  for (int x = 0; x < width; ++x) {
    const unsigned shift = 8 - bits * (1 + x % per_byte);
    const unsigned index = (row[x / per_byte] >> shift) & ((1u << bits) - 1);
    if (index >= palette.size) return Fail(DecodeError::kCorrupt);
    to[x] = palette.colours[index];
  }
  return {};
}

void DecodeBgrRow(const uint8_t* row, uint32_t* to, int width) {
  for (int x = 0; x < width; ++x, row += 3) to[x] = uint32_t(row[2]) << 16 | uint32_t(row[1]) << 8 | row[0];
}

// 16 and 32-bit pixels: bit fields (5-5-5 by default at 16 bits), or plain XRGB.
class FieldRows {
 public:
  explicit FieldRows(const Header& h)
      : bits_(h.bits), fields_(h.bits == 16 || (h.bits == 32 && h.compression != BI_RGB)) {
    if (h.BitFields()) {
      red_ = Channel(h.masks[0]), green_ = Channel(h.masks[1]), blue_ = Channel(h.masks[2]);
    } else if (h.bits == 16) {
      red_ = Channel(0x7C00), green_ = Channel(0x03E0), blue_ = Channel(0x001F);
    }
  }
  void Decode(const uint8_t* row, uint32_t* to, int width) const {
    for (int x = 0; x < width; ++x) {
      const uint32_t raw = bits_ == 16 ? ReadLe16(row + size_t(x) * 2) : ReadLe32(row + size_t(x) * 4);
      to[x] = fields_ ? red_.Of(raw) << 16 | green_.Of(raw) << 8 | blue_.Of(raw) : raw & 0xFFFFFF;
    }
  }

 private:
  unsigned bits_;
  bool fields_;
  Channel red_, green_, blue_;
};

DecodeResult DecodeRows(const uint8_t* px, uint64_t stride, const Header& h, const Palette& palette, Picture& pic) {
  const FieldRows fields(h);
  for (int fy = 0; fy < pic.height; ++fy) {
    const uint8_t* row = px + stride * fy;
    uint32_t* to = &pic.pixels[size_t(h.top_down ? fy : pic.height - 1 - fy) * pic.width];
    if (h.bits <= 8) {
      if (DecodeResult r = DecodeIndexedRow(row, h.bits, palette, to, pic.width); !r) return r;
    } else if (h.bits == 24) {
      DecodeBgrRow(row, to, pic.width);
    } else {
      fields.Decode(row, to, pic.width);
    }
  }
  return {};
}

}  // namespace

DecodeResult DecodeBmp(const uint8_t* d, size_t size, Picture& out, const DecodeLimits& limits) {
  Header h;
  if (DecodeResult r = ReadHeader(d, size, h); !r) return r;
  if (DecodeResult r = CheckFormat(h, limits); !r) return r;
  Palette palette;
  if (DecodeResult r = ReadPalette(d, size, h, palette); !r) return r;
  if (h.pixel_offset >= size) return Fail(DecodeError::kTruncated);

  const int W = int(h.width), H = int(h.height);
  const size_t avail = size - h.pixel_offset;
  // Memory follows what the file holds: uncompressed rows must all be there, and
  // run-length data reaches at most 255 pixels per two bytes (skips aside, which no
  // picture of real content is made of).
  const uint64_t stride = ((uint64_t(W) * h.bits + 31) / 32) * 4;
  if (!h.Rle() && stride * H > avail) return Fail(DecodeError::kTruncated);
  if (h.Rle() && uint64_t(W) * H > uint64_t(avail) * kMaxRlePixelsPerByte) return Fail(DecodeError::kTooLarge);

  Picture pic;
  pic.width = W;
  pic.height = H;
  pic.pixels.assign(size_t(W) * H, 0);
  const uint8_t* px = d + h.pixel_offset;
  const DecodeResult r =
      h.Rle() ? RleDecoder(px, avail, h, palette, pic).Run() : DecodeRows(px, stride, h, palette, pic);
  if (r) out = std::move(pic);
  return r;
}
