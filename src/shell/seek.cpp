#include "shell/seek.h"

#include <algorithm>
#include <cmath>

#include "shell/timeline.h"

namespace {

using host::Key;

std::optional<long> g_request;
bool g_step = false;
uint32_t g_last_frame_ms = 0;
std::optional<long> g_loop_start;

}  // namespace

std::optional<long> SeekTargetFor(Key key, uint32_t now_ms) {
  const long now = long(now_ms);
  const int part = PartAt(now_ms, kPartBios);
  long target;
  if (const int digit = host::OffsetIn(key, Key::k1, Key::k9); digit >= 0)
    target = long(kDemoEndMs) * (digit + 1) / 10;
  else if (key == Key::k0 || key == Key::kHome)
    target = 0;
  else if (key == Key::kLeft || key == Key::kRight)
    target = now + (key == Key::kRight ? 5000 : -5000);
  else if (key == Key::kDown || key == Key::kUp)
    target = now + (key == Key::kUp ? 30000 : -30000);
  else if (key == Key::kPageUp)
    target = long(PartStartMs(std::max(part - 1, int(kPartBios))));
  else if (key == Key::kPageDown)
    target = part < kPartCola ? long(PartStartMs(part + 1)) : long(kDemoEndMs) + 1;
  else
    return std::nullopt;
  return target < 0 ? 0 : target;
}

void RequestSeek(long demo_ms) { g_request = demo_ms; }

std::optional<long> TakeSeekRequest() {
  std::optional<long> taken = g_request;
  g_request.reset();
  return taken;
}

void RequestStep() { g_step = true; }

bool TakeStepRequest() {
  const bool taken = g_step;
  g_step = false;
  return taken;
}

void NoteFrameDrawn(uint32_t demo_ms) { g_last_frame_ms = demo_ms; }
uint32_t LastFrameDrawnMs() { return g_last_frame_ms; }

long PreviousFrameTime(uint32_t shown_ms, double frame_rate) {
  // A move shows the first frame at or after its time: back by a whole frame
  // rounded up lands between the frame before and the one shown.
  const long frame_ms = long(std::ceil(1000.0 / (frame_rate > 0 ? frame_rate : 100.0)));
  return std::max(0L, long(shown_ms) - frame_ms);
}

void SetLoopStart(std::optional<long> demo_ms) { g_loop_start = demo_ms; }
std::optional<long> LoopStart() { return g_loop_start; }
