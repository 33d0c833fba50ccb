// Turns a PSF1 or PSF2 console font with a Unicode table into a C++ table of
// 8-pixel-wide glyphs (8 or 16 rows) indexed by ISO 8859-1 code. Runs at build
// time.
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> read_gz(const char* path) {
  std::vector<uint8_t> out;
  gzFile f = gzopen(path, "rb");
  if (!f) return out;
  uint8_t chunk[65536];
  int n;
  while ((n = gzread(f, chunk, sizeof chunk)) > 0) out.insert(out.end(), chunk, chunk + n);
  gzclose(f);
  return out;
}

uint32_t le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

// Decodes one UTF-8 sequence of a PSF2 Unicode table entry.
uint32_t utf8(const std::vector<uint8_t>& d, size_t& i) {
  uint8_t c = d[i++];
  int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
  uint32_t cp = extra == 0 ? c : c & (0x3F >> extra);
  while (extra-- > 0 && i < d.size()) cp = cp << 6 | (d[i++] & 0x3F);
  return cp;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 || (std::strcmp(argv[3], "16") != 0 && std::strcmp(argv[3], "8") != 0)) {
    std::fprintf(stderr, "usage: psf_to_table FONT.psf[.gz] OUT.cpp 16|8\n");
    return 2;
  }
  const uint32_t rows = uint32_t(std::atoi(argv[3]));
  std::vector<uint8_t> d = read_gz(argv[1]);
  uint32_t glyphs = 0, height = 0, bytes_per_glyph = 0, header = 0;
  bool has_table = false;
  if (d.size() >= 4 && d[0] == 0x36 && d[1] == 0x04) {
    glyphs = (d[2] & 1) ? 512 : 256;
    has_table = d[2] & 2;
    height = bytes_per_glyph = d[3];
    header = 4;
  } else if (d.size() >= 32 && le32(&d[0]) == 0x864ab572u) {
    header = le32(&d[8]);
    has_table = le32(&d[12]) & 1;
    glyphs = le32(&d[16]);
    bytes_per_glyph = le32(&d[20]);
    height = le32(&d[24]);
    if (le32(&d[28]) != 8) {
      std::fprintf(stderr, "psf_to_table: %s is not 8 pixels wide\n", argv[1]);
      return 1;
    }
  } else {
    std::fprintf(stderr, "psf_to_table: %s is not a PSF font\n", argv[1]);
    return 1;
  }
  if (height != rows || !has_table || d.size() < header + size_t(glyphs) * bytes_per_glyph) {
    std::fprintf(stderr, "psf_to_table: %s must be an 8x%u font with a Unicode table\n", argv[1], rows);
    return 1;
  }

  std::map<uint32_t, uint32_t> glyph_of;  // code point -> glyph index
  size_t i = header + size_t(glyphs) * bytes_per_glyph;
  bool psf1 = header == 4;
  for (uint32_t g = 0; g < glyphs && i < d.size(); ++g) {
    bool in_sequence = false;
    while (i < d.size()) {
      uint32_t cp;
      if (psf1) {
        if (i + 1 >= d.size()) break;
        cp = d[i] | d[i + 1] << 8;
        i += 2;
        if (cp == 0xFFFF) break;
        if (cp == 0xFFFE) {
          in_sequence = true;
          continue;
        }
      } else {
        if (d[i] == 0xFF) {
          ++i;
          break;
        }
        if (d[i] == 0xFE) {
          ++i;
          in_sequence = true;
          continue;
        }
        cp = utf8(d, i);
      }
      if (!in_sequence && !glyph_of.count(cp)) glyph_of[cp] = g;
    }
  }

  std::string out =
      "// Generated from a Debian console font; do not edit.\n"
      "#include \"winapi/vga_font.h\"\n\n"
      "const unsigned char kVgaFont8x" +
      std::to_string(rows) + "[256][" + std::to_string(rows) + "] = {\n";
  int missing = 0;
  for (uint32_t code = 0; code < 256; ++code) {
    out += "  {";
    // Control codes have no printable shape in ISO 8859-1; they stay blank.
    bool printable = (code >= 0x20 && code < 0x7F) || code >= 0xA0;
    auto it = glyph_of.find(code);
    if (printable && it == glyph_of.end()) ++missing;
    for (uint32_t row = 0; row < rows; ++row) {
      unsigned v = (printable && it != glyph_of.end()) ? d[header + it->second * bytes_per_glyph + row] : 0;
      char buf[8];
      std::snprintf(buf, sizeof buf, "%u%s", v, row + 1 < rows ? "," : "");
      out += buf;
    }
    out += "},\n";
  }
  out += "};\n";
  if (missing) {
    std::fprintf(stderr, "psf_to_table: %d ISO 8859-1 characters have no glyph in %s\n", missing, argv[1]);
    return 1;
  }
  FILE* f = std::fopen(argv[2], "w");
  if (!f || std::fwrite(out.data(), 1, out.size(), f) != out.size() || std::fclose(f) != 0) {
    std::fprintf(stderr, "psf_to_table: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
