#pragma once
// The console's line editor: the line being typed, its visible tail that fits
// the width, and a newest-first history of finished lines.

#include <cstdint>

#include "text/line_list.h"

class commandlist {
 public:
  commandlist();
  ~commandlist();
  commandlist(const commandlist&) = delete;
  commandlist& operator=(const commandlist&) = delete;

  bool set_width(int32_t n);
  bool docomm(int32_t n);
  bool add_char(char c);
  bool add_text(const char* s);
  void del_chars(int32_t n);
  bool copy_line(int32_t index);
  bool copy_prev();
  // The finished line, now the newest history entry (owned by the history).
  char* get_command();
  const char* visible_text() const { return visible; }
  // Frees the history, the line and the visible text (the console's free).
  void clear();

  listnode* history = nullptr;
  char* currcommand = nullptr;
  char* visible = nullptr;
  int32_t capacity = 0;
  int32_t width = 0;

 private:
  void refresh();
  int32_t length() const;
};
