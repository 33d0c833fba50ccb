#pragma once
// Named text consoles: every line printed is kept, and the newest lines (with one
// extra line from the caller) are drawn over any bitmap in the first loaded font,
// its key colour transparent. Every console is found by name through `conlist`.

#include <cstdint>

#include "gfx/2d.h"
#include "text/bmpfont.h"
#include "text/line_list.h"

class con {
 public:
  con() = default;
  ~con();
  con(const con&) = delete;
  con& operator=(const con&) = delete;

  bool create(const char* name, int32_t x, int32_t y);
  bool set_font(const char* font_name);
  bool print(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void add(const char* text);
  // The window's text: the newest lines that fit in height - 1 rows (all of them
  // when fewer are stored), `first` lines back from the newest, oldest first.
  bool get_visible(char** out, int32_t first);
  bool draw_visible(bitmap& target, const char* extra, int32_t first);

  listnode* lines = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  char* visible = nullptr;
  bitmap* visbuffer = nullptr;
  bmptext* text = nullptr;
  char* name = nullptr;
  uint8_t created = 0;
  uint8_t font_set = 0;
  int32_t line_count = 0;
};

// Every con that completed create, newest first; the list does not own them, and
// a destroyed con leaves it.
extern listnode* conlist;

con* get_con(const char* name);
bool SetConFonts(const char* font_name);
