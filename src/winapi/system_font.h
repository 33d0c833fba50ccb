#pragma once

#include <cstdint>

// The font text is drawn in when no other is chosen: proportional, as the old
// system's default font is, 16 pixels high. Indexed by ISO 8859-1 code; each
// row's bits from the most significant on are the glyph's pixels left to right,
// `advance` pixels of which the glyph takes. Generated at build time from a
// Debian font package.
struct SystemFontGlyph {
  uint8_t advance;
  uint16_t rows[16];
};
extern const SystemFontGlyph kSystemFont[256];
