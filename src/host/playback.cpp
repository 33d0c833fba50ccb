#include "host/playback.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "host/audio_mixer.h"
#include "host/clock.h"

namespace host {
namespace {

struct Skip {
  bool active = false;
  uint32_t start_ms = 0;
  std::function<uint32_t()> demo_time;
  bool real_after = false;  // the real clock takes over once the skip ends
};
Skip g_skip;

// A live run's frame rate is the machine's anyway; 25 frames a second keeps the
// way to the end of the timeline under a second at 320 x 200.
constexpr unsigned kSkipFps = 25;

double g_av_offset_ms = 0;
double g_largest_difference_ms = 0;
// Once the music has started or moved (the start, a skip, a goto), the picture
// moves to it at once, before the first frame that follows it.
bool g_following = false;

}  // namespace

void SkipTo(uint32_t start_ms, std::function<uint32_t()> demo_time) {
  g_skip = Skip{};
  if (start_ms == 0 || !demo_time) return;
  g_skip.active = true;
  g_skip.start_ms = start_ms;
  g_skip.demo_time = std::move(demo_time);
  g_skip.real_after = RunVirtually(kSkipFps);
  audio::Hold(true);
}

bool SkippingFrame() {
  if (!g_skip.active) return false;
  if (g_skip.demo_time() < g_skip.start_ms) return true;
  g_skip.active = false;
  if (g_skip.real_after) ResumeRealTime();
  audio::SeekModule(g_skip.start_ms / 1000.0);
  audio::Hold(false);
  g_following = false;
  return false;
}

bool Skipping() { return g_skip.active; }

bool FrameUnseen() { return SkippingFrame() || PacedFrameLate(); }

void CountUnseenFrame() {
  if (g_skip.active)
    AdvanceClockForPresentedFrame();
  else
    PassLateFrame();
}

void SetPaused(bool paused) {
  if (paused == ClockPaused() || VirtualClockInUse()) return;
  PauseClock(paused);
  audio::Hold(paused);
}
bool Paused() { return ClockPaused(); }

void FollowMusic() {
  const double picture = PacedPictureMs();
  if (picture < 0 || Paused()) return;
  const std::optional<double> heard = audio::HeardMusicMs();
  if (!heard) return;
  const double difference = picture - *heard - g_av_offset_ms;
  // Within half a sound buffer the two are left alone: every step that moves
  // the picture ahead costs a frame that is never shown, and the twirl and the
  // slide step once per drawn frame.
  const double buffer = audio::AssumedLatencyMs() / 2;
  if (!g_following) {
    // The music has just started or moved: the picture goes to it at once if
    // they are more than a buffer apart.
    if (std::fabs(difference) > buffer) NudgeClock(difference);
  } else {
    g_largest_difference_ms = std::max(g_largest_difference_ms, std::fabs(difference));
    // Small steps, at most half a millisecond a frame: a device whose clock is
    // off by as much as 2 % is still followed, and no interval between two
    // frames changes visibly.
    if (std::fabs(difference) > buffer / 2) NudgeClock(std::clamp(difference / 16, -0.5, 0.5));
  }
  g_following = true;
}

void SetAvOffset(double ms) { g_av_offset_ms = ms; }
double LargestSoundDifferenceMs() { return g_largest_difference_ms; }

void RestartPlayback() {
  RestartFrames();
  g_skip = Skip{};
  audio::SeekModule(0);
  g_following = false;
}

}  // namespace host
