#include "text/commandlist.h"

#include <cstring>
#include <new>

#include "base/logfile.h"

commandlist::commandlist() { currcommand = new char[1]{0}; }

commandlist::~commandlist() { clear(); }

void commandlist::clear() {
  list_free(history);
  history = nullptr;
  delete[] currcommand;
  currcommand = nullptr;
  delete[] visible;
  visible = nullptr;
  capacity = 0;
}

int32_t commandlist::length() const { return currcommand ? int32_t(std::strlen(currcommand)) : 0; }

bool commandlist::set_width(int32_t n) {
  delete[] visible;
  visible = n >= 0 ? new (std::nothrow) char[size_t(n) + 1] : nullptr;
  if (!visible) {
    log_console.status("ERROR", "commandlist (%lu) set_width(%u): visible = new char[%u];", LogId(this), unsigned(n),
                       unsigned(n + 1));
    return false;
  }
  visible[0] = 0;
  width = n;
  return true;
}

bool commandlist::docomm(int32_t n) {
  if (n < 0) return false;
  if (n + 1 <= capacity && currcommand) return true;
  const int32_t grown = n + 10;
  char* bigger = new (std::nothrow) char[size_t(grown)];
  if (!bigger) {
    log_console.status("ERROR", "commandlist (%lu) docomm(%u): realloc(%lu,%u)", LogId(this), unsigned(n),
                       LogId(currcommand), unsigned(grown));
    return false;
  }
  std::memset(bigger, 0, size_t(grown));
  if (currcommand) std::strcpy(bigger, currcommand);
  delete[] currcommand;
  currcommand = bigger;
  capacity = grown;
  return true;
}

bool commandlist::add_char(char c) {
  const int32_t n = length();
  if (!docomm(n + 1)) return false;
  currcommand[n] = c;
  currcommand[n + 1] = 0;
  refresh();
  return true;
}

bool commandlist::add_text(const char* s) {
  if (!s) return false;
  if (!docomm(length() + int32_t(std::strlen(s)))) return false;
  std::strcat(currcommand, s);
  refresh();
  return true;
}

void commandlist::del_chars(int32_t n) {
  const int32_t len = length();
  if (n >= 0 && len >= n) currcommand[len - n] = 0;
  refresh();
}

bool commandlist::copy_line(int32_t index) {
  int32_t size = 0;
  const char* entry = static_cast<const char*>(list_get(history, &size, index));
  if (!entry) {
    log_console.status("ERROR", "commandlist (%lu) copy_line(%u): get(%lu,%u,%u)", LogId(this), unsigned(index),
                       LogId(history), unsigned(size), unsigned(index));
    return false;
  }
  if (!docomm(size)) return false;
  std::memcpy(currcommand, entry, size_t(size));
  currcommand[size] = 0;
  refresh();
  return true;
}

bool commandlist::copy_prev() {
  int32_t size = 0;
  const char* entry = static_cast<const char*>(list_get(history, &size, 0));
  if (!entry) {
    log_console.status("ERROR", "commandlist (%lu) copy_prev(): get(%lu,%u,0)", LogId(this), LogId(history), 0u);
    return false;
  }
  const int32_t len = length();
  if (len >= size) return false;
  if (!docomm(len + 1)) return false;
  currcommand[len] = entry[len];
  currcommand[len + 1] = 0;
  refresh();
  return true;
}

char* commandlist::get_command() {
  const int32_t cap = capacity > 0 ? capacity : 1;
  char* fresh = new (std::nothrow) char[size_t(cap)];
  if (!fresh) {
    log_console.status("ERROR", "commandlist (%lu) get_command(): currcommand = new char[%u]", LogId(this),
                       unsigned(cap));
    return nullptr;
  }
  std::memset(fresh, 0, size_t(cap));
  if (visible) visible[0] = 0;
  char* finished = currcommand;
  history = list_push(history, finished, length());
  currcommand = fresh;
  capacity = cap;
  return finished;
}

void commandlist::refresh() {
  if (!visible) return;
  const int32_t len = length();
  if (len <= width) {
    std::memcpy(visible, currcommand, size_t(len) + 1);
  } else if (width > 0) {
    visible[0] = '<';
    std::memcpy(visible + 1, currcommand + len - (width - 1), size_t(width - 1));
    visible[width] = 0;
  } else {
    visible[0] = 0;
  }
}
