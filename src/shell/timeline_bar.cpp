#include "shell/timeline_bar.h"

#include <algorithm>

#include "gfx/gdi_helpers.h"
#include "gfx/pixel_format.h"
#include "host/window.h"
#include "host/window_overlay.h"
#include "shell/timeline.h"

namespace {

constexpr uint32_t kShownMs = 1500, kFadeMs = 500;
constexpr uint8_t kOpacity = 216;  // the picture shows faintly through the bar
constexpr int kHeight = 22;        // the system font's 16 rows, the track and a margin
constexpr int kTrackTop = 1, kTrackRows = 2, kTextLeft = 6, kTextTop = 5;
constexpr DWORD kBackground = 0x101014, kPlayed = 0xE8E8E8, kToCome = 0x50505A, kMark = 0xFFC040;
constexpr COLORREF kTextColour = 0xE8E8E8;

}  // namespace

std::string TimelineText(DWORD demo_ms) {
  const DWORD ms = std::min(demo_ms, kDemoEndMs);
  // ISO 8859-1's middle dot, as the system font has it.
  return MinutesSeconds(ms) + " / " + MinutesSeconds(kDemoEndMs) + " \xB7 " + PartName(PartAt(ms, kPartBios));
}

void TimelineBar::Wake() {
  if (!enabled_) return;
  awake_ = true;
  woken_at_ = host::InputTicks();
}

bool TimelineBar::Hide() {
  awake_ = false;
  if (!shown_) return false;
  shown_ = false;
  host::SetOverlay(nullptr, host::OverlaySlot::kTimeline);
  return true;
}

bool TimelineBar::LayOut() {
  const host::PictureRect place = host::ShownPictureArea();
  if (place.width <= 0 || place.height <= 0) return false;
  // As the console's: a pixel of its own per window pixel up to 540 rows, then whole multiples.
  const int scale = std::max(1, place.height / 540);
  const int width = place.width / scale;
  if (width < 64 || place.height / scale < kHeight) return false;
  if (bar_.holds_surface() && scale == scale_ && bar_.width == width) return true;
  bar_.free();
  scale_ = scale;
  text_.clear();
  filled_ = -1;
  return bar_.create(width, kHeight) != 0;
}

void TimelineBar::Draw(DWORD demo_ms) {
  const std::string text = TimelineText(demo_ms);
  const int filled = int(int64_t(std::min(demo_ms, kDemoEndMs)) * bar_.width / kDemoEndMs);
  if (text == text_ && filled == filled_) return;
  text_ = text;
  filled_ = filled;
  bar_.clear(PixelFor(bar_, kBackground));
  for (int row = kTrackTop; row < kTrackTop + kTrackRows; ++row) {
    if (filled > 0) bar_.line(0, row, filled, row, PixelFor(bar_, kPlayed));
    if (filled < bar_.width) bar_.line(filled, row, bar_.width, row, PixelFor(bar_, kToCome));
  }
  // The parts' starts, the marks Page Up and Page Down go to.
  for (int part = kPartSlide; part <= kPartCola; ++part) {
    const int x = int(int64_t(PartStartMs(part)) * bar_.width / kDemoEndMs);
    bar_.line(x, 0, x, kTrackTop + kTrackRows + 1, PixelFor(bar_, kMark));
  }
  text_printf(bar_, kTextLeft, kTextTop, kTextColour, kBackground, "%s", text.c_str());
}

bool TimelineBar::Update(DWORD demo_ms, bool paused) {
  if (!enabled_ || (!awake_ && !paused)) return Hide();
  const uint32_t since = host::InputTicks() - woken_at_;
  if (paused) {
    awake_ = true;
    woken_at_ = host::InputTicks();  // the fade starts when the pause ends
  } else if (since >= kShownMs + kFadeMs) {
    return Hide();
  }
  if (!LayOut()) return Hide();
  const std::string before = text_;
  const int filled_before = filled_;
  Draw(demo_ms);
  const uint8_t alpha =
      paused || since <= kShownMs ? kOpacity : uint8_t(kOpacity * (kShownMs + kFadeMs - since) / kFadeMs);
  const bool changed = !shown_ || alpha != alpha_ || text_ != before || filled_ != filled_before;
  if (bar_.lock() != DD_OK) return Hide();
  const host::Overlay overlay{
      static_cast<const uint8_t*>(bar_.desc.lpSurface), bar_.width, bar_.height, int(bar_.desc.lPitch),
      int(bar_.desc.ddpfPixelFormat.dwRGBBitCount / 8), scale_,     alpha};
  bar_.unlock();
  host::SetOverlay(&overlay, host::OverlaySlot::kTimeline);
  shown_ = true;
  alpha_ = alpha;
  return changed;
}

void TimelineBar::Free() {
  Hide();
  bar_.free();
  text_.clear();
  filled_ = -1;
}

TimelineBar& TheTimelineBar() {
  static TimelineBar bar;
  return bar;
}
