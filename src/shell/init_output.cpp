#include "shell/init_output.h"

#include <string>

#include "base/logfile.h"
#include "base/user_warning.h"
#include "shell/live_console.h"
#include "text/con.h"

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
  // Every channel's lines also reach the console the player can open.
  logging::SetEcho([](const char* channel, const std::string& line) { TheLiveConsole().Log(channel, line); });
  SetWarningEcho([](const std::string& line) { TheLiveConsole().Warn(line); });
}
