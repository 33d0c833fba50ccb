#pragma once
// An interactive console on a con: a command line edited from the keyboard state
// with the keyboard map, shown after a prompt; it saves and restores what it covers.

#include <cstdint>

#include "gfx/2d.h"
#include "text/commandlist.h"
#include "text/con.h"

// How many commands back Up and Down have gone; shared by all consoles.
extern int32_t g_nHistoryPosition;

// What a finished command does; nothing in this program.
void ExecuteCommand(const char* command);

class console {
 public:
  console();
  ~console();
  console(const console&) = delete;
  console& operator=(const console&) = delete;

  bool create(const char* picture_file, const char* name, con* target);
  bool set_prompt(const char* text);
  void print(const char* text);
  bool input();
  bool draw(bitmap& target);
  bool erase(bitmap& target);
  void free();

  con* owner = nullptr;
  bitmap* front = nullptr;
  bitmap* back = nullptr;
  char* name = nullptr;
  char* prompt = nullptr;
  uint8_t created = 0;
  commandlist line;
};
