#include "text/bmpfont.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "base/logfile.h"
#include "text/cfg_file.h"

bmpfont* fonts = nullptr;
int32_t fontcount = 0;
uint8_t chtable[256];

namespace {

void BuildCharacterTable() {
  std::memset(chtable, 0xFF, sizeof chtable);
  for (int i = 0; i < 26; ++i) {
    chtable['a' + i] = uint8_t(i);
    chtable['A' + i] = uint8_t(29 + i);
  }
  chtable[0xE5] = 26;  // å
  chtable[0xE4] = 27;  // ä
  chtable[0xD6] = 57;  // Ö
  for (int i = 0; i < 10; ++i) chtable['0' + i] = uint8_t(58 + i);
  const unsigned char symbols[] = {0xA7, '!', '"', '#', 0xA4, '%', '&', '/', '(', ')', '=', '?', '@', 0xA3, '$',
                                   '{',  '[', ']', '}', '\\', '+', ',', '.', '-', '_', '|', '<', '>', ';',  ':'};
  for (size_t i = 0; i < sizeof symbols; ++i) chtable[symbols[i]] = uint8_t(68 + i);
}
}  // namespace

bmpfont::~bmpfont() {
  if (!loaded) {
    delete[] frame;
    return;
  }
  for (int i = 0; i < glyph_count; ++i) frame[i].free();
  delete[] frame;
}

bool bmpfont::load(const char* file_name, int w, int h, int n) {
  // The name is the file name without its extension; one that does not fit, or
  // has no room for an extension, is refused.
  const size_t length = file_name ? std::strlen(file_name) : 0;
  if (length < 4 || length >= sizeof name || w <= 0 || h <= 0 || w > 255 || h > 255 || n <= 0 || n > 32767)
    return false;
  std::snprintf(name, sizeof name, "%.*s", int(length - 4), file_name);
  glyph_width = uint8_t(w), glyph_height = uint8_t(h), glyph_count = int16_t(n);
  bitmap strip;
  if (!strip.load(file_name)) {
    log_font.status("ERROR", "bitmap ::load('%s')", file_name);
    return false;
  }
  log_font.status("OK", "bitmap ::load('%s')", file_name);
  delete[] frame;
  frame = new (std::nothrow) bitmap[size_t(n)];
  log_font.status(frame ? "OK" : "ERROR", "frame = new bitmap[%u];", unsigned(n));
  if (!frame) return false;
  DWORD key = 0;
  if (strip.lock() == 0) {
    strip.get_pixel(1, 1, &key);
    strip.unlock();
  }
  for (int i = 0; i < n; ++i) {
    if (!frame[i].create(w, h)) {
      log_font.status("ERROR", "frame[%d].create(%d,%d)", i, w, h);
      return false;
    }
    frame[i].set_colorkey(key);
    frame[i].use_colorkey = 1;
  }
  for (int i = 0; i < n; ++i) {
    RECT source{i * w, 0, i * w + w, h}, destination{0, 0, w, h};
    strip.blit(frame[i], &source, &destination);
  }
  strip.free();
  loaded = 1;
  return true;
}

void bmpfont::restore() {
  if (!loaded) return;
  for (int i = 0; i < glyph_count; ++i) frame[i].restore();
}

bool LoadFonts(const char* file_name) {
  log_font.print("LoadFonts('%s')\n", file_name);
  // Consoles and texts point into the loaded fonts; replacing them would leave
  // those pointers dangling, so a second load waits for FreeFonts.
  if (fonts) {
    log_font.status("ERROR", "LoadFonts('%s'): fonts already loaded", file_name);
    return false;
  }
  BuildCharacterTable();
  log_font.status("OK", "init chtable");
  auto* doc = new CfgFile();
  if (!ReadCfgFile(file_name, *doc)) {
    log_font.status("ERROR", "ReadCfgFile('%s',%lu)", file_name, LogId(doc));
    delete doc;
    return false;
  }
  log_font.status("OK", "ReadCfgFile('%s',%lu)", file_name, LogId(doc));
  while (GetCfgValue(*doc, "font", std::to_string(fontcount).c_str())) ++fontcount;
  delete[] fonts;
  fonts = new (std::nothrow) bmpfont[size_t(fontcount)];
  bool ok = fonts != nullptr;
  for (int32_t i = 0; ok && i < fontcount; ++i) {
    const char* section = GetCfgValue(*doc, "font", std::to_string(i).c_str());
    const char* y = GetCfgValue(*doc, section, "y");
    const char* x = GetCfgValue(*doc, section, "x");
    const char* file = GetCfgValue(*doc, section, "file");
    // A font section without its file or size is a failed load.
    const int w = x ? std::atoi(x) : 0, h = y ? std::atoi(y) : 0;
    if (!file || !fonts[i].load(file, w, h, 98)) {
      log_font.status("ERROR", "fonts[%u].load('%s',%u,%u,98)", unsigned(i), file ? file : "", unsigned(w),
                      unsigned(h));
      ok = false;
    }
  }
  if (!ok) {
    fontcount = 0;
    delete[] fonts;
    fonts = nullptr;
  }
  delete doc;
  return ok;
}

bool FreeFonts() {
  delete[] fonts;
  fonts = nullptr;
  fontcount = 0;
  return true;
}

bmpfont* FindFont(const char* name) {
  for (int32_t i = 0; name && i < fontcount; ++i)
    if (std::strcmp(fonts[i].name, name) == 0) return &fonts[i];
  return nullptr;
}

bmptext::~bmptext() {
  delete[] string;
  delete background;
}

bool bmptext::set_font(bmpfont* f) {
  if (!f) return false;
  font = f;
  return true;
}

bool bmptext::set_text(const char* text) {
  if (!text) return false;
  delete[] string;
  string = new char[std::strlen(text) + 1];
  std::strcpy(string, text);
  return true;
}

void bmptext::set_pos(int16_t px, int16_t py) { x = px, y = py; }

bool bmptext::draw(bitmap& target) {
  if (!string || !*string || !font || !font->loaded) return true;
  const int w = font->glyph_width, h = font->glyph_height;
  int32_t line_count = 1, longest = 0, current = 0;
  for (const char* p = string; *p; ++p) {
    if (*p == '\n') {
      ++line_count;
      current = 0;
    } else if (++current > longest) {
      longest = current;
    }
  }
  columns = longest;
  lines = line_count;
  const int block_width = w * longest, block_height = h * line_count;
  delete background;
  background = nullptr;
  area = RECT{x, y, x + block_width, y + block_height};
  // A text of empty lines measures 0 wide: there is nothing to save.
  if (block_width > 0) {
    background = new bitmap();
    // The save is a plain copy even from a keyed target (a con's window): with
    // the key on, its key-coloured pixels would not be saved, and the erase would
    // then put black where the window was transparent.
    const uint8_t keyed = target.use_colorkey;
    target.use_colorkey = 0;
    if (background->create(block_width, block_height)) target.blit(*background, &area, nullptr);
    target.use_colorkey = keyed;
  }
  int16_t pen_x = x, pen_y = y;
  for (const char* p = string; *p; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c == '\n') {
      pen_y = int16_t(pen_y + h);
      pen_x = x;
    } else if (c == '\t') {
      pen_x = int16_t(pen_x + 4 * w);
    } else if (c == ' ') {
      pen_x = int16_t(pen_x + w);
    } else if (chtable[c] != 0xFF && chtable[c] < font->glyph_count) {
      RECT to{pen_x, pen_y, pen_x + w, pen_y + h};
      font->frame[chtable[c]].blit(target, nullptr, &to);
      pen_x = int16_t(pen_x + w);
    }
  }
  return true;
}

bool bmptext::erase(bitmap& target) {
  if (string && *string && background && background->holds_surface()) background->blit(target, nullptr, &area);
  return true;
}
