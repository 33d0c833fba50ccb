#include <SDL.h>

#include <cstring>
#include <vector>

#include "host/event.h"
#include "host/sdl_window.h"
#include "host/window.h"
#include "host/window_presenter.h"
#include "host/window_shape.h"

namespace host {
namespace {

// The host's key numbers are the USB usages, as SDL's scan codes are.
static_assert(int(Key::kA) == SDL_SCANCODE_A && int(Key::k0) == SDL_SCANCODE_0 && int(Key::kF12) == SDL_SCANCODE_F12);
static_assert(int(Key::kKeypad0) == SDL_SCANCODE_KP_0 && int(Key::kNonUsBackslash) == SDL_SCANCODE_NONUSBACKSLASH);
static_assert(int(Key::kRightGui) == SDL_SCANCODE_RGUI && int(Key::kApplication) == SDL_SCANCODE_APPLICATION);

struct Listeners {
  std::vector<EventListener> first, rest;
};
Listeners& listeners() {
  static Listeners l;
  return l;
}

uint16_t ModifiersOf(Uint16 mod) {
  return uint16_t((mod & KMOD_SHIFT ? kShift : 0) | (mod & KMOD_CTRL ? kCtrl : 0) | (mod & KMOD_ALT ? kAlt : 0));
}

MouseButton ButtonOf(Uint8 button) {
  switch (button) {
    case SDL_BUTTON_LEFT: return MouseButton::kLeft;
    case SDL_BUTTON_MIDDLE: return MouseButton::kMiddle;
    case SDL_BUTTON_RIGHT: return MouseButton::kRight;
    default: return MouseButton::kOther;
  }
}

// The window events the host has its own use for (its presentation), and the
// type of those it passes on; false for those nobody else needs.
bool WindowEventType(const SDL_WindowEvent& e, Window* window, Event& out) {
  WindowChanged(window);
  if (e.event == SDL_WINDOWEVENT_SIZE_CHANGED) NoteWindowSize(window);
  switch (e.event) {
    case SDL_WINDOWEVENT_MINIMIZED: out.type = EventType::kMinimised; return true;
    case SDL_WINDOWEVENT_RESTORED: out.type = EventType::kRestored; return true;
    case SDL_WINDOWEVENT_FOCUS_GAINED: out.type = EventType::kFocusGained; return true;
    case SDL_WINDOWEVENT_FOCUS_LOST: out.type = EventType::kFocusLost; return true;
    case SDL_WINDOWEVENT_ENTER: out.type = EventType::kPointerEntered; return true;
    case SDL_WINDOWEVENT_CLOSE: out.type = EventType::kClose; return true;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      out.type = EventType::kSizeChanged;
      out.width = e.data1;
      out.height = e.data2;
      return true;
    default: return false;
  }
}

bool Translate(const SDL_Event& e, Event& out) {
  switch (e.type) {
    case SDL_QUIT: out.type = EventType::kQuit; return true;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      out.type = EventType::kKey;
      out.window = WindowWithId(e.key.windowID);
      out.key = Key(e.key.keysym.scancode);
      out.symbol = e.key.keysym.sym;
      out.modifiers = ModifiersOf(e.key.keysym.mod);
      out.down = e.type == SDL_KEYDOWN;
      out.repeat = e.key.repeat != 0;
      return true;
    case SDL_TEXTINPUT:
      out.type = EventType::kText;
      out.window = WindowWithId(e.text.windowID);
      std::memcpy(out.text, e.text.text, sizeof out.text);
      out.text[sizeof out.text - 1] = 0;
      return true;
    case SDL_MOUSEMOTION:
      out.type = EventType::kMouseMotion;
      out.window = WindowWithId(e.motion.windowID);
      out.dx = e.motion.xrel;
      out.dy = e.motion.yrel;
      return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      out.type = EventType::kMouseButton;
      out.window = WindowWithId(e.button.windowID);
      out.button = ButtonOf(e.button.button);
      out.down = e.type == SDL_MOUSEBUTTONDOWN;
      return true;
    case SDL_MOUSEWHEEL:
      out.type = EventType::kMouseWheel;
      out.window = WindowWithId(e.wheel.windowID);
      out.wheel = e.wheel.y;
      return true;
    case SDL_WINDOWEVENT:
      out.window = WindowWithId(e.window.windowID);
      return out.window && WindowEventType(e.window, out.window, out);
    default: return false;
  }
}

}  // namespace

void ListenToEventsFirst(EventListener listener) { listeners().first.push_back(std::move(listener)); }
void ListenToEvents(EventListener listener) { listeners().rest.push_back(std::move(listener)); }

void DeliverEvent(const Event& event) {
  for (auto* list : {&listeners().first, &listeners().rest})
    for (const EventListener& listen : *list)
      if (listen(event)) return;
}

void PumpEvents() {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  static Uint64 last_pump = 0;
  if (const Uint64 now = SDL_GetTicks64(); now != last_pump) {
    SDL_PumpEvents();
    last_pump = now;
  }
  SDL_Event e;
  while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0)
    if (Event event; Translate(e, event)) DeliverEvent(event);
}

void WaitForEvents(int ms) {
  if (SDL_WasInit(SDL_INIT_VIDEO))
    SDL_WaitEventTimeout(nullptr, ms);
  else
    SDL_Delay(1);
}

}  // namespace host
