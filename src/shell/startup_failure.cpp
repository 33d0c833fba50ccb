#include "shell/startup_failure.h"

#include <cstdarg>
#include <cstdio>

#include "host/last_error.h"

namespace {
std::string& first() {
  static std::string s;
  return s;
}
std::string& reason() {
  static std::string s;
  return s;
}
}  // namespace

void NoteStartupFailure(const char* format, ...) {
  if (!first().empty()) return;
  char text[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  first() = text;
  reason() = host::LastErrorText();
}

const std::string& FirstStartupFailure() { return first(); }
const std::string& FirstStartupFailureReason() { return reason(); }
void ClearStartupFailure() {
  first().clear();
  reason().clear();
}
