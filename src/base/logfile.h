#pragma once
// One log channel per module. The channels discard everything unless file output
// was switched on (the --log option), in which case each writes
// "log/velmora <module>.log".

#include <cstdint>
#include <fstream>
#include <functional>
#include <string>

class con;  // the console a channel would echo to; only its address is kept

class logfile {
 public:
  void open(const char* title, const char* path, const char* module, con* console);
  void print(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void status(const char* word, const char* format, ...) __attribute__((format(printf, 3, 4)));
  void write(const char* text);

  char name[260];  // not used: the path comes with open
  std::ofstream file;

 private:
  bool wanted() const;
  void emit(const char* word, const char* text, bool end_line);
  char module_[16] = {};
  std::string partial_;  // echoed text not yet ended by a line break
};

extern logfile log_con, log_winmain, log_2d, log_dx, log_main, log_efect, log_font, log_apu, log_input, log_console;

// An object's address as log lines name it (the %lu of "bitmap %lu load").
inline unsigned long LogId(const void* object) {
  return static_cast<unsigned long>(reinterpret_cast<uintptr_t>(object));
}

namespace logging {
// Channels opened after this write their files below `base_directory`.
void EnableFiles(const std::string& base_directory);
void DisableFiles();
// Every whole line any channel writes (trace, status or raw text, whether or not
// files are on) is also handed to `echo` with the channel's module name, once the
// channel has been opened; an empty function stops the echo.
using Echo = std::function<void(const char* channel, const std::string& line)>;
void SetEcho(Echo echo);
}  // namespace logging
