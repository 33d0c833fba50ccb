#pragma once
// What the user does to the program's windows, in the host's own words. The
// host takes the desktop's events, keeps its own presentation up to date with
// them, and hands each to the listeners in order; a listener that takes an
// event keeps it from those after it.

#include <cstdint>
#include <functional>

#include "host/key_code.h"

namespace host {

struct Window;

enum class EventType {
  kKey,             // a key pressed or released
  kText,            // text typed, as UTF-8
  kMouseMotion,     // the pointer moved by (dx, dy)
  kMouseButton,     // a button pressed or released
  kMouseWheel,      // the wheel turned by `wheel` notches (away from the user: positive)
  kFocusGained,     // the window takes the keyboard
  kFocusLost,       // the window gives it up
  kMinimised,       // the window went to the task bar
  kRestored,        // and came back
  kPointerEntered,  // the pointer came over the window
  kSizeChanged,     // the window's size is now width x height
  kClose,           // the user asks the window to close
  kQuit,            // the user asks the program to end (its last window closed)
};

enum KeyModifier : uint16_t { kShift = 1, kCtrl = 2, kAlt = 4 };

// The mouse buttons, numbered as the desktop numbers them.
enum class MouseButton : uint8_t { kLeft = 1, kMiddle = 2, kRight = 3, kOther = 4 };

struct Event {
  EventType type = EventType::kQuit;
  Window* window = nullptr;  // null when the desktop does not say which
  // kKey
  Key key = Key::kNone;    // where the key sits (its scan code)
  int32_t symbol = 0;      // the key the layout makes of it; its character when it prints one
  uint16_t modifiers = 0;  // KeyModifier bits held with it
  bool down = false;       // also kMouseButton
  bool repeat = false;     // the keyboard's own repeat of a held key
  // kText
  char text[32] = {};
  // kMouseMotion, kMouseButton, kMouseWheel
  int dx = 0, dy = 0;
  MouseButton button = MouseButton::kLeft;
  int wheel = 0;
  // kSizeChanged
  int width = 0, height = 0;
};

// True when the listener has taken the event.
using EventListener = std::function<bool(const Event&)>;
// The player's own keys listen first; the stand-ins for the old calls after them.
void ListenToEventsFirst(EventListener listener);
void ListenToEvents(EventListener listener);

// Takes the desktop's waiting events and hands them out. The desktop itself is
// asked at most once a millisecond: a loop on the virtual clock looks many
// times a millisecond, and every look is a round trip to the display server.
void PumpEvents();
// Waits up to `ms` for an event; without a display there are none, and it only
// gives the processor away for a millisecond.
void WaitForEvents(int ms);

// Hands `event` to the listeners as if the desktop had sent it (tests).
void DeliverEvent(const Event& event);

}  // namespace host
