#include "shell/player_keys.h"

#include <optional>

#include "host/clock.h"
#include "host/event.h"
#include "host/frame_pump.h"
#include "host/playback.h"
#include "host/window_shape.h"
#include "shell/frame_clock.h"
#include "shell/seek.h"
#include "shell/timeline_bar.h"

namespace {

using host::Key;

bool g_text_input = false;

bool TakePlayerKey(const host::Event& e) {
  if (e.type != host::EventType::kKey) return false;
  const bool enter = e.key == Key::kReturn || e.key == Key::kKeypadEnter;
  const bool alt_enter = enter && (e.modifiers & host::kAlt);
  const bool snapshot = e.key == Key::kF12;
  const bool pause = (e.key == host::KeyAfter(Key::kA, 'P' - 'A') && !g_text_input) || e.key == Key::kPause;
  // The moves are the viewer's while no console takes the keys; Alt and Ctrl
  // with them are left to the desktop.
  const std::optional<long> seek =
      g_text_input || (e.modifiers & (host::kAlt | host::kCtrl)) ? std::nullopt : SeekTargetFor(e.key, g_dwElapsed);
  if (seek) {
    if (e.down) RequestSeek(*seek);
    if (e.down) TheTimelineBar().Wake();
    return true;
  }
  // While paused, . and , step a frame forward and back.
  if (host::Paused() && !g_text_input && (e.key == Key::kPeriod || e.key == Key::kComma)) {
    if (e.down && e.key == Key::kPeriod) RequestStep();
    if (e.down && e.key == Key::kComma) RequestSeek(PreviousFrameTime(LastFrameDrawnMs(), host::PacedFrameRate()));
    if (e.down) TheTimelineBar().Wake();
    return true;
  }
  if (!alt_enter && !snapshot && !pause) {
    // Escape ends a paused demo too: the pause gives way so the message is taken.
    if (e.key == Key::kEscape && e.down) host::SetPaused(false);
    return false;
  }
  if (e.down && !e.repeat) {
    if (alt_enter) host::ToggleFullScreen(e.window);
    if (snapshot) host::SaveShownFrame();
    if (pause) host::SetPaused(!host::Paused());
    if (pause) TheTimelineBar().Wake();
  }
  return true;
}

}  // namespace

void InstallPlayerKeys() {
  static bool installed = false;
  if (!installed) host::ListenToEventsFirst(TakePlayerKey);
  installed = true;
}

void SetTextInput(bool on) { g_text_input = on; }
bool TextInput() { return g_text_input; }
