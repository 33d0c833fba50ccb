#include "base/logfile.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

logfile log_con, log_winmain, log_2d, log_dx, log_main, log_efect, log_font, log_apu, log_input, log_console;

namespace {

struct FileOutput {
  bool enabled = false;
  std::string base;
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
}  // namespace logging

void logfile::open(const char* title, const char* path, const char*, con*) {
  if (!output().enabled) return;
  std::filesystem::path full = std::filesystem::path(output().base) / path;
  std::error_code ignored;
  std::filesystem::create_directories(full.parent_path(), ignored);
  if (file.is_open()) file.close();
  file.open(full, std::ios::out | std::ios::trunc);
  if (file) file << title << std::flush;
}

void logfile::print(const char* format, ...) {
  if (!file.is_open()) return;
  char text[8192];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  file << text << std::flush;
}

void logfile::status(const char* word, const char* format, ...) {
  if (!file.is_open()) return;
  char text[8192];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  file << (word && *word ? word : "") << (word && *word ? " " : "") << text;
  size_t n = std::strlen(text);
  if (n == 0 || text[n - 1] != '\n') file << '\n';
  file << std::flush;
}

void logfile::write(const char* text) {
  if (file.is_open() && text) file << text << std::flush;
}
