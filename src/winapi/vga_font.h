#pragma once

// 8x16 glyphs indexed by ISO 8859-1 code, one byte per row, most significant bit
// leftmost. Generated at build time from a Debian console font.
extern const unsigned char kVgaFont8x16[256][16];
// The same in 8x8, from the same family of Debian console fonts.
extern const unsigned char kVgaFont8x8[256][8];
