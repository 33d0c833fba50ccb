#include "host/pacing_report.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "host/audio_mixer.h"
#include "host/clock.h"
#include "host/playback.h"
#include "host/time_source.h"
#include "host/video_start.h"

namespace host {
namespace {

std::vector<uint64_t>& presents() {
  static std::vector<uint64_t> p;
  return p;
}

double Percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return 0;
  const size_t at = std::min(values.size() - 1, size_t(fraction * double(values.size() - 1) + 0.5));
  std::nth_element(values.begin(), values.begin() + long(at), values.end());
  return values[at];
}

}  // namespace

void NotePresent() { presents().push_back(Time().NowNs()); }

PacingFigures Pacing() {
  PacingFigures f;
  const std::vector<uint64_t>& p = presents();
  f.shown = p.size();
  f.skipped = SkippedFrames();
  f.frame_rate = PacedClockInUse() ? PacedFrameRate() : 0;
  std::vector<double> intervals;
  for (size_t i = 1; i < p.size(); ++i) intervals.push_back(double(p[i] - p[i - 1]) / 1e6);
  f.p5_ms = Percentile(intervals, 0.05);
  f.p50_ms = Percentile(intervals, 0.50);
  f.p95_ms = Percentile(intervals, 0.95);
  f.latency_ms = audio::AssumedLatencyMs();
  f.largest_difference_ms = LargestSoundDifferenceMs();
  f.video_driver = VideoDriverName();
  return f;
}

std::string DescribePacing(const PacingFigures& f) {
  char text[512];
  const bool paced = f.frame_rate > 0;
  std::snprintf(text, sizeof text,
                "pacing: %llu frames shown%s\n"
                "pacing: between presents %.1f ms (5th percentile), %.1f ms (median), %.1f ms (95th)\n",
                static_cast<unsigned long long>(f.shown),
                paced ? (", " + std::to_string(f.skipped) + " skipped, paced at " +
                         std::to_string(int(f.frame_rate + 0.5)) + " frames a second")
                            .c_str()
                      : "",
                f.p5_ms, f.p50_ms, f.p95_ms);
  std::string report = text;
  if (!f.video_driver.empty()) report += "pacing: shown through the " + f.video_driver + " video driver\n";
  if (paced)
    std::snprintf(text, sizeof text,
                  "pacing: sound latency assumed %.1f ms; largest difference of sound and picture %.1f ms\n",
                  f.latency_ms, f.largest_difference_ms);
  else
    std::snprintf(text, sizeof text, "pacing: sound and picture are compared only when paced by the display\n");
  return report + text;
}

}  // namespace host
