#include "shell/record_progress.h"

#include <algorithm>
#include <cmath>

RecordProgress::RecordProgress(uint32_t from_ms, uint32_t to_ms, bool terminal, FILE* out)
    : from_ms_(from_ms),
      to_ms_(std::max(to_ms, from_ms + 1)),
      terminal_(terminal),
      out_(out),
      start_(std::chrono::steady_clock::now()),
      last_draw_(start_) {}

std::string RecordProgress::Bar(double fraction, double fps, double seconds_left) {
  constexpr int kWidth = 30;
  fraction = std::clamp(fraction, 0.0, 1.0);
  const int filled = int(fraction * kWidth);
  const long left = std::lround(std::max(0.0, seconds_left));
  char text[128];
  std::snprintf(text, sizeof text, "[%s%s] %3d%%  %4.0f fps  %ld:%02ld left", std::string(filled, '#').c_str(),
                std::string(kWidth - filled, '.').c_str(), int(fraction * 100), fps, left / 60, left % 60);
  return text;
}

void RecordProgress::Update(uint32_t demo_ms) {
  ++frames_;
  const auto now = std::chrono::steady_clock::now();
  const double fraction = double(std::min(demo_ms, to_ms_) - std::min(demo_ms, from_ms_)) / (to_ms_ - from_ms_);
  const double seconds = std::chrono::duration<double>(now - start_).count();
  const double fps = seconds > 0 ? frames_ / seconds : 0;
  const double left = fraction > 0 ? seconds * (1 - fraction) / fraction : 0;
  if (terminal_) {
    if (now - last_draw_ < std::chrono::milliseconds(100) && fraction < 1) return;
    last_draw_ = now;
    std::fprintf(out_, "\r%s", Bar(fraction, fps, left).c_str());
    std::fflush(out_);
    drawn_ = true;
    return;
  }
  const int tenth = int(fraction * 10);
  if (tenth > last_tenth_) {
    last_tenth_ = tenth;
    std::fprintf(out_, "velmora: recording: %d%%, %.0f fps, %.0f s left\n", tenth * 10, fps, left);
  }
}

void RecordProgress::Done() {
  if (drawn_) std::fputc('\n', out_);
  drawn_ = false;
}
