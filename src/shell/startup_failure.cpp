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

bool ReportStartupFailure(const std::string& mode) {
  if (first().empty()) return false;
  if (reason().rfind("not a mode", 0) == 0) {
    std::string shown = mode;
    for (size_t at = shown.find(' '); at != std::string::npos; at = shown.find(' ', at + 3))
      shown.replace(at, 1, " x ");
    std::fprintf(stderr, "velmora: %s: %s\n", shown.c_str(), reason().c_str());
  } else {
    std::fprintf(stderr, "velmora: %s failed: %s\n", first().c_str(),
                 reason().empty() ? "see the log (--log)" : reason().c_str());
  }
  return true;
}
