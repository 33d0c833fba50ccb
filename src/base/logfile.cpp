#include "base/logfile.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "base/user_warning.h"

// Objects of every other file log from their destructors at exit, so the channels
// are made before any of them and outlive them all, whatever the link order.
#define VELMORA_FIRST_MADE __attribute__((init_priority(101)))
logfile log_con VELMORA_FIRST_MADE, log_winmain VELMORA_FIRST_MADE, log_2d VELMORA_FIRST_MADE,
    log_dx VELMORA_FIRST_MADE, log_main VELMORA_FIRST_MADE, log_efect VELMORA_FIRST_MADE, log_font VELMORA_FIRST_MADE,
    log_apu VELMORA_FIRST_MADE, log_input VELMORA_FIRST_MADE, log_console VELMORA_FIRST_MADE;
#undef VELMORA_FIRST_MADE

namespace {

struct FileOutput {
  bool enabled = false;
  std::string base;
  logging::Echo echo;
};
FileOutput& output() {
  static FileOutput o;
  return o;
}

}  // namespace

namespace logging {
void EnableFiles(const std::string& base_directory) {
  output().enabled = true;
  output().base = base_directory;
}
void DisableFiles() { output().enabled = false; }
void SetEcho(Echo echo) { output().echo = std::move(echo); }
}  // namespace logging

void logfile::open(const char* title, const char* path, const char* module, con*) {
  std::snprintf(module_, sizeof module_, "%s", module ? module : "");
  if (!output().enabled) return;
  std::filesystem::path full = std::filesystem::path(output().base) / path;
  std::error_code error;
  std::filesystem::create_directories(full.parent_path(), error);
  if (error) {
    WarnUserOnce(full.parent_path().string(), "cannot make the log folder: " + error.message());
    return;
  }
  if (file.is_open()) file.close();
  errno = 0;
  file.open(full, std::ios::out | std::ios::trunc);
  if (!file) {
    WarnUserOnce(full.string(),
                 std::string("cannot write the log: ") + (errno ? std::strerror(errno) : "cannot be opened"));
    return;
  }
  file << title << std::flush;
}

// Writes to the file when it is open and echoes whole lines; formats nothing when
// neither wants the text, so a closed channel still costs only the call.
void logfile::emit(const char* word, const char* text, bool end_line) {
  const bool has_word = word && *word;
  if (file.is_open()) {
    if (has_word) file << word << ' ';
    file << text;
    if (end_line) file << '\n';
    file << std::flush;
  }
  if (!output().echo || !module_[0]) return;
  if (has_word) partial_ += std::string(word) + ' ';
  partial_ += text;
  if (end_line) partial_ += '\n';
  size_t start = 0;
  for (size_t lf; (lf = partial_.find('\n', start)) != std::string::npos; start = lf + 1)
    output().echo(module_, partial_.substr(start, lf - start));
  partial_.erase(0, start);
}

bool logfile::wanted() const { return file.is_open() || (output().echo && module_[0]); }

void logfile::print(const char* format, ...) {
  if (!wanted()) return;
  char text[8192];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  emit(nullptr, text, false);
}

void logfile::status(const char* word, const char* format, ...) {
  if (!wanted()) return;
  char text[8192];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  size_t n = std::strlen(text);
  emit(word, text, n == 0 || text[n - 1] != '\n');
}

void logfile::write(const char* text) {
  if (text && wanted()) emit(nullptr, text, false);
}
