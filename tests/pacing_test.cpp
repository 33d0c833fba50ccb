// The real driver paced by a simulated screen and sound device: the clock, the
// sleeps, the drawing time and the device taking its buffers all run on the
// test's own time, so every present lands where the pacing puts it.
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <vector>

#include "host/audio_mixer.h"
#include "host/clock.h"
#include "host/frame_pump.h"
#include "host/playback.h"
#include "host/settings.h"
#include "host/time_source.h"
#include "image/file_bytes.h"
#include "shell/frame_clock.h"
#include "shell/seek.h"
#include "shell/startup_failure.h"
#include "support.h"
#include "winapi/gdi.h"
#include "winapi/window_extras.h"

namespace {

constexpr int kSoundRate = 48000, kSoundBuffer = 1024;

// Time that moves only when the program sleeps or the test says it draws; the
// sound device takes a buffer whenever its time comes, its clock 2 % fast
// against the system's, as a cheap device's crystal may be.
class SimulatedTime final : public host::TimeSource {
 public:
  uint64_t NowNs() override { return now_; }
  void SleepUntilNs(uint64_t ns) override { MoveTo(ns); }
  void Spend(double ms) { MoveTo(now_ + uint64_t(ms * 1e6)); }

 private:
  void MoveTo(uint64_t ns) {
    while (next_buffer_ <= ns) {
      now_ = next_buffer_;
      host::audio::RunDeviceCallback();
      next_buffer_ += uint64_t(1e9 * kSoundBuffer / kSoundRate / 1.02);
    }
    now_ = std::max(now_, ns);
  }
  uint64_t now_ = 1'000'000'000;
  uint64_t next_buffer_ = now_;
};

struct Shown {
  DWORD ms;
  uint64_t hash;
  uint64_t at_ns;
  std::optional<double> sound_difference_ms;
};

uint64_t Hash(const host::PresentedFrame& f) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (int y = 0; y < f.height; ++y)
    for (int i = 0; i < f.width * f.bits_per_pixel / 8; ++i)
      h = (h ^ f.pixels[size_t(y) * f.pitch + i]) * 0x100000001b3ull;
  return h;
}

class Pacing : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    host::SetWindowed(true, 320, 200);
    SetDataDirectory(test::DataPath("").string());
  }
  void TearDown() override {
    host::SetPresentHook(nullptr);
    host::UseTimeSource(nullptr);
    host::audio::SimulateDevice(0, kSoundBuffer);
    winapi::Shutdown();
    SetDataDirectory("");
  }

  // Plays demo time [from, to) with `use_clock` setting the clock up; `draw_ms`
  // is the drawing time after the frame of that index (counted from 0).
  std::vector<Shown> Play(DWORD from, DWORD to, const std::function<void()>& use_clock,
                          const std::function<double(size_t)>& draw_ms = nullptr) {
    test::ResetDriverState();
    use_clock();
    if (from > 0) host::SkipTo(from, [] { return g_dwElapsed; });
    std::vector<Shown> shown;
    host::SetPresentHook([&](const host::PresentedFrame& f) {
      if (g_dwElapsed < from || g_bQuit) return;
      std::optional<double> difference;
      if (const std::optional<double> heard = host::audio::HeardMusicMs(); heard && host::PacedPictureMs() >= 0)
        difference = host::PacedPictureMs() - *heard;
      shown.push_back({g_dwElapsed, Hash(f), time_.NowNs(), difference});
      if (g_dwElapsed >= to) PostMessageA(hWnd, WM_CLOSE, 0, 0);
      if (draw_ms) time_.Spend(draw_ms(shown.size() - 1));
    });
    char words[] = "320 200 32";
    EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, words, 10), 0);
    EXPECT_EQ(FirstStartupFailure(), "");
    host::SetPresentHook(nullptr);
    winapi::Shutdown();
    return shown;
  }

  std::vector<Shown> PlayPaced(DWORD from, DWORD to, unsigned refresh_hz, const std::function<double(size_t)>& draw) {
    host::audio::SimulateDevice(kSoundRate, kSoundBuffer);
    host::UseTimeSource(&time_);
    return Play(
        from, to, [refresh_hz] { host::UsePacedClock(refresh_hz); }, draw);
  }

  static std::map<DWORD, uint64_t> ByTime(const std::vector<Shown>& frames) {
    std::map<DWORD, uint64_t> by_time;
    for (const Shown& s : frames) by_time[s.ms] = s.hash;
    return by_time;
  }

  SimulatedTime time_;
};

// At 60 Hz, with one frame that takes 40 ms more to draw than the rest.
TEST_F(Pacing, EachRefreshShowsTheFrameOfItsTimeAndALateFrameIsFollowedByTheOneThenDue) {
  // The twirl: its swing steps once per frame and its picture keeps what the
  // frames before left, so the two frames that miss their refresh are drawn all
  // the same, unseen, or every later frame would differ.
  const DWORD from = 40000, to = 43000;
  const std::map<DWORD, uint64_t> virtual60 = ByTime(Play(from, to, [] { host::UseVirtualClock(60); }));
  constexpr size_t kLate = 100;
  const std::vector<Shown> paced = PlayPaced(from, to, 60, [](size_t i) { return i == kLate ? 43.0 : 3.0; });
  ASSERT_GT(paced.size(), 170u);

  for (const Shown& s : paced) {
    ASSERT_TRUE(virtual60.count(s.ms)) << s.ms << " ms is not a time of the 60 fps run";
    EXPECT_EQ(s.hash, virtual60.at(s.ms)) << "the frame at " << s.ms << " ms";
  }
  for (size_t i = 1; i < paced.size(); ++i) {
    const DWORD step = paced[i].ms - paced[i - 1].ms;
    // The late frame's successor is the one due at the next refresh after it:
    // shown at 3 + 43 ms past its refresh, so the two frames due meanwhile go.
    if (i == kLate + 1)
      EXPECT_EQ(step, 50u);
    else
      EXPECT_TRUE(step == 16 || step == 17) << step << " ms after " << paced[i - 1].ms;
  }
  EXPECT_EQ(host::SkippedFrames(), 2u);

  // Once the picture has moved to the sound (the first frame after the skip),
  // the sound heard stays within one buffer of the picture.
  const double buffer_ms = 1000.0 * kSoundBuffer / kSoundRate;
  int compared = 0;
  for (size_t i = 10; i < paced.size(); ++i)
    if (paced[i].sound_difference_ms) {
      EXPECT_LE(std::fabs(*paced[i].sound_difference_ms), buffer_ms) << "at " << paced[i].ms << " ms";
      ++compared;
    }
  EXPECT_GT(compared, 150);
  // And every present, but the late one's successor and the move to the sound
  // at the start, comes one refresh after the one before.
  int even = 0;
  for (size_t i = 1; i < paced.size(); ++i) {
    const double interval = double(paced[i].at_ns - paced[i - 1].at_ns) / 1e6;
    even += std::fabs(interval - 1000.0 / 60) < 0.6;  // the following moves half a millisecond a frame
  }
  EXPECT_GE(even, int(paced.size()) - 4);
}

// A move while playing, from the twirl into the bottle: the first frame after it
// is the target's, on time, the frames after it are those of --fps 60, and once
// the music is heard (and the picture has gone to it) it stays within one sound
// buffer of the picture.
TEST_F(Pacing, AMoveShowsTheFramesOfItsTargetAndTheMusicComesWithIt) {
  const std::map<DWORD, uint64_t> virtual60 = ByTime(Play(70000, 71000, [] { host::UseVirtualClock(60); }));
  const std::vector<Shown> paced = PlayPaced(40000, 71000, 60, [](size_t i) {
    if (i == 30) RequestSeek(70000);
    return 3.0;
  });
  const auto moved = std::find_if(paced.begin(), paced.end(), [](const Shown& s) { return s.ms >= 70000; });
  ASSERT_NE(moved, paced.end());
  EXPECT_EQ(moved - paced.begin(), 31);
  EXPECT_EQ(moved->ms, 70000u);
  EXPECT_LT(moved->at_ns - (moved - 1)->at_ns, 2'000'000'000ull / 60);  // not late: within two refreshes
  const double buffer_ms = 1000.0 * kSoundBuffer / kSoundRate;
  int compared = 0;
  bool heard = false;
  for (auto s = moved; s != paced.end(); ++s) {
    EXPECT_EQ(s->hash, virtual60.at(s->ms)) << s->ms;
    if (s->sound_difference_ms && !heard) {
      heard = true;
      EXPECT_LT(s - moved, 4);  // within two sound buffers
    } else if (s->sound_difference_ms) {
      EXPECT_LE(std::fabs(*s->sound_difference_ms), buffer_ms) << "at " << s->ms << " ms";
      ++compared;
    }
  }
  EXPECT_GT(compared, 40);
}

// From the start, with the screen's own rate, which the offscreen screen does not
// say: the clock reads its first frames before it knows the rate, then paces at 60.
TEST_F(Pacing, FromTheStartAScreenThatDoesNotSayItsRateIsPacedAt60) {
  const std::map<DWORD, uint64_t> virtual60 = ByTime(Play(0, 1000, [] { host::UseVirtualClock(60); }));
  const std::vector<Shown> paced = PlayPaced(0, 1000, 0, [](size_t) { return 3.0; });
  ASSERT_GT(paced.size(), 55u);
  for (size_t i = 0; i < paced.size(); ++i) {
    ASSERT_TRUE(virtual60.count(paced[i].ms)) << paced[i].ms;
    EXPECT_EQ(paced[i].hash, virtual60.at(paced[i].ms)) << paced[i].ms;
  }
  EXPECT_EQ(host::PacedFrameRate(), 60);
}

// Above 100 Hz a frame stays up for two refreshes: a 144 Hz screen shows the
// frames of 72 a second.
TEST_F(Pacing, A144HzScreenShowsTheFramesOf72ASecond) {
  const DWORD from = 25000, to = 26000;
  const std::map<DWORD, uint64_t> virtual72 = ByTime(Play(from, to, [] { host::UseVirtualClock(72); }));
  const std::vector<Shown> paced = PlayPaced(from, to, 144, [](size_t) { return 2.0; });
  ASSERT_GT(paced.size(), 60u);
  for (size_t i = 0; i < paced.size(); ++i) {
    ASSERT_TRUE(virtual72.count(paced[i].ms)) << paced[i].ms;
    EXPECT_EQ(paced[i].hash, virtual72.at(paced[i].ms)) << paced[i].ms;
    if (i > 0) {
      EXPECT_TRUE(paced[i].ms - paced[i - 1].ms == 13 || paced[i].ms - paced[i - 1].ms == 14);
    }
  }
  EXPECT_EQ(host::SkippedFrames(), 0u);
}

}  // namespace
