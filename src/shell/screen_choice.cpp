#include "shell/screen_choice.h"

#include <cstdio>

#include "host/last_error.h"
#include "host/window.h"

std::optional<int> AnswerScreenChoice(const Options& options) {
  if (!options.display_list && options.display <= 1) return std::nullopt;
  const std::vector<host::Screen> screens = host::Screens();
  if (screens.empty()) {
    std::fprintf(stderr, "velmora: --display: %s\n", host::LastErrorText().c_str());
    return options.display_list ? 1 : 2;
  }
  if (options.display_list) {
    for (size_t i = 0; i < screens.size(); ++i) {
      const host::Screen& s = screens[i];
      char rate[32] = "rate not known";
      if (s.refresh_hz > 0) std::snprintf(rate, sizeof rate, "%d Hz", s.refresh_hz);
      std::printf("%zu: %d x %d, %s, at %d,%d%s%s\n", i + 1, s.width, s.height, rate, s.x, s.y,
                  s.name.empty() ? "" : ": ", s.name.c_str());
    }
    std::fflush(stdout);
    return 0;
  }
  if (size_t(options.display) > screens.size()) {
    std::fprintf(stderr, "velmora: --display %d: there is no screen %d (%zu on this desktop; --display list)\n",
                 options.display, options.display, screens.size());
    return 2;
  }
  return std::nullopt;
}
