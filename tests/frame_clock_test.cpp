#include "shell/frame_clock.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "host/clock.h"
#include "host/playback.h"
#include "host/time_source.h"
#include "winapi/internal.h"

namespace {

void ResetClock() {
  g_bFirstTick = 1;
  g_dwLastTick = g_dwThisTick = g_dwDelta = g_dwElapsed = g_dwFrameTicks = g_dwFrames = 0;
}

TEST(FrameClock, FirstUpdateOnlyReadsTheTickCount) {
  ResetClock();
  host::UseManualClock(123456);
  FrameTick();
  EXPECT_EQ(g_dwElapsed, 0u);
  EXPECT_EQ(g_dwFrameTicks, 0u);
  EXPECT_EQ(g_bFirstTick, 0);
  ResetClock();
  IdleTick();
  EXPECT_EQ(g_dwElapsed, 0u);
}

TEST(FrameClock, UpdatesWithinOneTickAddNothing) {
  ResetClock();
  host::UseManualClock(500);
  FrameTick();
  FrameTick();
  FrameTick();
  EXPECT_EQ(g_dwElapsed, 0u);
  host::UseManualClock(510);
  FrameTick();
  EXPECT_EQ(g_dwElapsed, 10u);
  EXPECT_EQ(g_dwFrameTicks, 10u);
}

TEST(FrameClock, TickCountWrapsModulo32Bits) {
  ResetClock();
  host::UseManualClock(4294967290u);
  FrameTick();
  host::UseManualClock(5);
  FrameTick();
  EXPECT_EQ(g_dwDelta, 11u);
  EXPECT_EQ(g_dwElapsed, 11u);
  EXPECT_EQ(g_dwFrameTicks, 11u);
}

TEST(FrameClock, IdleTimeFeedsTheDemoClockAndLaterTheCountdown) {
  ResetClock();
  host::UseManualClock(1000);
  FrameTick();
  host::UseManualClock(1010);
  IdleTick();
  EXPECT_EQ(g_dwElapsed, 10u);
  EXPECT_EQ(g_dwFrameTicks, 0u);
  host::UseManualClock(6010);
  FrameTick();
  EXPECT_EQ(g_dwElapsed, 5010u);
  EXPECT_EQ(g_dwFrameTicks, 5000u);
}

TEST(FrameClock, VirtualClockSpreadsFrameTimeEvenly) {
  host::UseVirtualClock(60);
  DWORD previous = GetTickCount();
  std::vector<DWORD> steps;
  for (int i = 0; i < 6; ++i) {
    host::AdvanceClockForPresentedFrame();
    DWORD now = GetTickCount();
    steps.push_back(now - previous);
    previous = now;
  }
  EXPECT_EQ(steps, (std::vector<DWORD>{16, 17, 17, 16, 17, 17}));
  EXPECT_EQ(GetTickCount(), 100u);
}

TEST(FrameClock, RealClockMovesInSystemTicks) {
  host::UseRealClock(10);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(GetTickCount() % 10, 0u);
}

}  // namespace

namespace {

// Time that moves only by the sleeps, so that a busy machine cannot make a
// sleep overshoot a tick.
class SleepOnlyTime final : public host::TimeSource {
 public:
  SleepOnlyTime() { host::UseTimeSource(this); }
  ~SleepOnlyTime() override { host::UseTimeSource(nullptr); }
  uint64_t NowNs() override { return now_; }
  void SleepUntilNs(uint64_t ns) override { now_ = std::max(now_, ns); }

 private:
  uint64_t now_ = 5'003'000'000;
};

TEST(TickWait, ASecondReadWithNothingBetweenSleepsUntilTheTickMoves) {
  SleepOnlyTime time;
  host::UseRealClock(10);
  const uint64_t sleeps = host::TickSleeps();
  const DWORD first = GetTickCount();
  int reads = 1;
  DWORD next;
  while ((next = GetTickCount()) == first) ++reads;
  // The same values a spin would read, one tick apart, after a read or two
  // instead of thousands.
  EXPECT_EQ(next - first, 10u);
  EXPECT_LE(reads, 2);
  EXPECT_GE(host::TickSleeps(), sleeps + 1);
}

TEST(TickWait, ReadsBetweenLoopCallsNeverSleep) {
  SleepOnlyTime time;
  host::UseRealClock(10);
  MSG message;
  GetTickCount();
  const uint64_t sleeps = host::TickSleeps();
  for (int i = 0; i < 1000; ++i) {
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    GetTickCount();
  }
  EXPECT_EQ(host::TickSleeps(), sleeps);
}

}  // namespace

namespace {

TEST(Pause, TheClockStandsWhilePausedAndGoesOnWhereItStood) {
  SleepOnlyTime time;
  host::UseRealClock(10);
  MSG message;
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
  const DWORD before = GetTickCount();
  host::SetPaused(true);
  for (int i = 0; i < 5; ++i) {
    Sleep(12);
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // a loop call: no wait
    EXPECT_EQ(GetTickCount(), before);                   // the tick it was in
  }
  host::SetPaused(false);
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
  EXPECT_EQ(GetTickCount(), before);  // 60 ms passed; none of it counts
  Sleep(12);
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
  EXPECT_EQ(GetTickCount() - before, 10u);  // and time goes on from there
}

}  // namespace
