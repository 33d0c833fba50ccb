#include "text/con.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "base/logfile.h"

listnode* conlist = nullptr;

namespace {

char* Copy(const char* text, size_t length) {
  char* c = new (std::nothrow) char[length + 1];
  if (c) {
    std::memcpy(c, text, length);
    c[length] = 0;
  }
  return c;
}
}  // namespace

con::~con() {
  if (created) conlist = list_remove(conlist, this);
  list_free(lines);
  delete[] visible;
  delete[] name;
  delete text;
  delete visbuffer;
}

bool con::create(const char* new_name, int32_t x, int32_t y) {
  log_con.print("con %lu create('%s',%u,%u)\n", LogId(this), new_name ? new_name : "", unsigned(x), unsigned(y));
  if (!new_name) {
    log_con.status("ERROR", "!n");
    return false;
  }
  const size_t length = std::strlen(new_name);
  delete[] name;
  name = Copy(new_name, length);
  log_con.status(name ? "OK" : "ERROR", "name = new char[%u]", unsigned(length + 1));
  if (!name) return false;
  if (x < 1) {
    log_con.status("ERROR", "x<1");
    return false;
  }
  if (y < 1) {
    log_con.status("ERROR", "y<1");
    return false;
  }
  width = x;
  height = y;
  delete text;
  text = new (std::nothrow) bmptext();
  log_con.status(text ? "OK" : "ERROR", "text = new bmptext");
  if (!text) return false;
  delete visbuffer;
  visbuffer = new (std::nothrow) bitmap();
  log_con.status(visbuffer ? "OK" : "ERROR", "visbuffer = new bitmap");
  if (!visbuffer) return false;
  if (!created) conlist = list_push(conlist, this, int32_t(sizeof(con)));
  log_con.status("OK", "con %s create()", name);
  created = 1;
  return true;
}

bool con::set_font(const char* font_name) {
  log_con.print("con (%s) set_font(%s)\n", name ? name : "", font_name ? font_name : "");
  if (!created || !text) {
    log_con.status("ERROR", "con %lu is not initialized!", LogId(this));
    return false;
  }
  if (fontcount < 1 || !fonts || !fonts[0].loaded) return false;
  text->set_font(&fonts[0]);
  if (!visbuffer) {
    log_con.status("ERROR", "con %lu is not initialized!", LogId(this));
    return false;
  }
  const unsigned w = unsigned(fonts[0].glyph_width * width), h = unsigned(fonts[0].glyph_height * height);
  const bool made = visbuffer->create(int(w), int(h));
  log_con.status(made ? "OK" : "ERROR", "visbuffer %lu create(%u,%u)", LogId(visbuffer), w, h);
  if (!made) return false;
  const DWORD key = fonts[0].frame[0].colorkey[0];
  if (!visbuffer->clear(key)) {
    log_con.status("ERROR", "visbuffer %lu clear(%lu)", LogId(visbuffer), static_cast<unsigned long>(key));
    return false;
  }
  log_con.status("OK", "visbuffer %lu clear(%lu)", LogId(visbuffer), static_cast<unsigned long>(key));
  if (!visbuffer->set_colorkey(key)) {
    log_con.status("ERROR", "visbuffer %lu set_colorkey(%lu)", LogId(visbuffer), static_cast<unsigned long>(key));
    return false;
  }
  log_con.status("OK", "visbuffer %lu set_colorkey(%lu)", LogId(visbuffer), static_cast<unsigned long>(key));
  visbuffer->use_colorkey = 1;
  font_set = 1;
  log_con.status("OK", "con (%s) set_font(%s)", name, font_name ? font_name : "");
  return true;
}

bool con::print(const char* format, ...) {
  if (!created) return true;
  char buffer[4096];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  add(buffer);
  return true;
}

void con::add(const char* input) {
  std::string all = input ? input : "";
  if (all.empty() || all.back() != '\n') all += '\n';
  size_t start = 0;
  for (size_t lf; (lf = all.find('\n', start)) != std::string::npos; start = lf + 1) {
    const size_t length = lf - start + 1;  // the line with its LF
    char* line = Copy(all.data() + start, length);
    if (!line) return;
    lines = list_push(lines, line, int32_t(length));
    ++line_count;
  }
}

bool con::get_visible(char** out, int32_t first) {
  if (!created) return false;
  if (first < 0) first = 0;
  const int32_t room = height - 1 > 0 ? height - 1 : 0;
  int32_t available = line_count - first;
  if (available < 0) available = 0;
  const int32_t shown = available < room ? available : room;
  std::string window;
  for (int32_t i = first + shown - 1; i >= first; --i) {  // oldest of the window first
    int32_t size = 0;
    const char* line = static_cast<const char*>(list_get(lines, &size, i));
    if (line) window.append(line, size_t(size));
  }
  delete[] visible;
  visible = Copy(window.data(), window.size());  // sized for exactly these lines
  if (out) *out = visible;
  return visible != nullptr;
}

bool con::draw_visible(bitmap& target, const char* extra, int32_t first) {
  if (!font_set) return false;
  char* window = nullptr;
  if (!get_visible(&window, first)) {
    log_con.status("ERROR", "con (%s) draw_visible: get_visible(&text %lu string (%lu),0)", name, LogId(text),
                   LogId(text ? text->string : nullptr));
    return false;
  }
  if (!extra) return false;
  text->set_text((std::string(window) + extra).c_str());
  text->set_pos(0, 0);
  if (!text->draw(*visbuffer)) return false;
  if (!visbuffer->blit(target, nullptr, nullptr)) return false;
  text->erase(*visbuffer);
  return true;
}

con* get_con(const char* wanted) {
  for (listnode* n = conlist; n; n = n->older) {
    con* c = static_cast<con*>(n->data);
    if (wanted && c->name && std::strcmp(c->name, wanted) == 0) return c;
  }
  log_con.status("ERROR", "get_con(%s): con not found!", wanted ? wanted : "");
  return nullptr;
}

bool SetConFonts(const char* font_name) {
  bool all = true;
  for (listnode* n = conlist; n; n = n->older) all = static_cast<con*>(n->data)->set_font(font_name) && all;
  return all;
}
