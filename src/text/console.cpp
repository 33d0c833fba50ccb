#include "text/console.h"

#include <cstring>
#include <new>
#include <string>

#include "base/logfile.h"
#include "input/keyboard.h"
#include "text/keymap.h"

int32_t g_nHistoryPosition = 0;

void ExecuteCommand(const char*) {}

namespace {
char* Copy(const char* s) {
  char* c = new (std::nothrow) char[std::strlen(s) + 1];
  if (c) std::strcpy(c, s);
  return c;
}
}  // namespace

console::console() { prompt = Copy("> "); }

console::~console() {
  free();
  delete[] prompt;
}

bool console::create(const char* picture_file, const char* new_name, con* target) {
  log_console.print("console (%lu) create('%s','%s',%lu)...\n", LogId(this), picture_file ? picture_file : "",
                    new_name ? new_name : "", LogId(target));
  if (!target) {
    log_console.status("ERROR", "con-class is not initialized!");
    return false;
  }
  delete front;
  front = new (std::nothrow) bitmap();
  log_console.status(front ? "OK" : "ERROR", "front = new bitmap");
  if (!front) return false;
  const bool loaded = picture_file && front->load(picture_file);
  log_console.status(loaded ? "OK" : "ERROR", "front %lu load('%s')", LogId(front), picture_file ? picture_file : "");
  if (!loaded) return false;
  delete back;
  back = new (std::nothrow) bitmap();
  log_console.status(back ? "OK" : "ERROR", "back = new bitmap");
  if (!back) return false;
  const bool made = back->create(front->width, front->height);
  log_console.status(made ? "OK" : "ERROR", "back %lu create(%u,%u)", LogId(back), unsigned(front->width),
                     unsigned(front->height));
  if (!made) return false;
  line.set_width(target->width - 3);
  if (new_name) {
    delete[] name;
    name = Copy(new_name);
  }
  owner = target;
  log_console.status("OK", "console (%s) create()", name ? name : "");
  created = 1;
  return true;
}

bool console::set_prompt(const char* text) {
  if (!text) return true;
  char* copy = Copy(text);
  if (!copy) return false;
  delete[] prompt;
  prompt = copy;
  if (owner) line.set_width(owner->width - int32_t(std::strlen(prompt)));
  return true;
}

void console::print(const char* text) {
  if (created && owner && text) owner->print("%s", text);
}

bool console::input() {
  if (!created) return false;
  if (g_KeyState[DIK_RETURN]) {
    if (char* command = line.get_command()) {
      owner->print("%s", command);
      ExecuteCommand(command);
      g_nHistoryPosition = 0;
    }
  }
  if (g_KeyState[DIK_BACK]) line.del_chars(1);
  if (g_KeyState[DIK_UP]) {
    ++g_nHistoryPosition;
    if (!line.copy_line(g_nHistoryPosition)) --g_nHistoryPosition;
  }
  if (g_KeyState[DIK_DOWN]) {
    if (g_nHistoryPosition > 0) --g_nHistoryPosition;
    line.copy_line(g_nHistoryPosition);
  }
  if (g_KeyState[DIK_LEFT]) line.del_chars(1);
  if (g_KeyState[DIK_RIGHT]) line.copy_prev();
  const int level = keymap_level(g_KeyState);
  for (int code = 0; code < 256; ++code) {
    if (!g_KeyState[code]) continue;
    const uint8_t c = keymap[level * 256 + code];
    if (c != 0xFF) line.add_char(static_cast<char>(c));
  }
  return true;
}

bool console::draw(bitmap& target) {
  if (!created || !line.visible_text()) return false;
  const std::string shown = std::string(prompt ? prompt : "") + line.visible_text();
  if (!target.blit(*back, nullptr, nullptr)) return false;
  return owner->draw_visible(target, shown.c_str(), 0);
}

bool console::erase(bitmap& target) {
  if (!created) return false;
  return back->blit(target, nullptr, nullptr) != 0;
}

void console::free() {
  const std::string was = name ? name : "";
  log_console.print("console (%s) free()\n", was.c_str());
  delete front;
  front = nullptr;
  delete back;
  back = nullptr;
  delete[] name;
  name = nullptr;
  line.clear();
  log_console.status("OK", "console (%s) free()", was.c_str());
  created = 0;
}
