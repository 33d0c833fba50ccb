#include "shell/logfile.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "text/con.h"

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

void init_output() {
  struct Channel {
    logfile* log;
    const char* module;
  };
  static const Channel rest[] = {{&log_winmain, "winmain"}, {&log_2d, "2d"},       {&log_dx, "dx"},
                                 {&log_main, "main"},       {&log_efect, "efect"}, {&log_font, "font"},
                                 {&log_apu, "apu"},         {&log_input, "input"}, {&log_console, "console"}};
  auto open = [](logfile& log, const char* module, con* console) {
    std::string title = std::string("Velmora Log (") + module + ") - Harnwick v0.02 \n";
    std::string path = std::string("log/velmora ") + module + ".log";
    log.open(title.c_str(), path.c_str(), module, console);
  };
  // The console lives until the program ends; nothing frees it.
  static con* screen = nullptr;
  screen = new con();
  open(log_con, "con", screen);
  screen->create("screen", 102, 41);
  for (const Channel& c : rest) open(*c.log, c.module, screen);
}
