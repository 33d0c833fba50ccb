#pragma once
// Bitmap fonts: a strip of 98 equal glyph cells cut into one bitmap per glyph,
// drawn with the key colour found at (1, 1) of the strip transparent; and texts
// drawn in such a font, saving what they cover so that it can be put back.

#include <cstdint>

#include "gfx/2d.h"

class bmpfont {
 public:
  ~bmpfont();
  bool load(const char* file_name, int glyph_width, int glyph_height, int glyph_count);
  void restore();

  bitmap* frame = nullptr;
  uint8_t glyph_width = 0;
  uint8_t glyph_height = 0;
  int16_t glyph_count = 0;
  uint8_t loaded = 0;
  char name[67] = {};
};

extern bmpfont* fonts;
extern int32_t fontcount;
// Glyph slot of each character code; 0xFF for none.
extern uint8_t chtable[256];

bool LoadFonts(const char* file_name);
bool FreeFonts();
bmpfont* FindFont(const char* name);

class bmptext {
 public:
  ~bmptext();
  bool set_font(bmpfont* f);
  bool set_text(const char* text);
  void set_pos(int16_t px, int16_t py);
  bool draw(bitmap& target);
  bool erase(bitmap& target);

  bitmap* background = nullptr;
  bmpfont* font = nullptr;
  int16_t x = 0, y = 0;
  char* string = nullptr;
  RECT area{0, 0, 0, 0};
  int32_t columns = 0;
  int32_t lines = 0;
};
