#pragma once
// What the window stand-in offers the program beyond the old calls: its keys
// before the window procedure sees them, the full-screen switch, and the last
// call of a run.

#include <functional>

#include "winapi/win32.h"

namespace winapi {

struct KeyPress {
  HWND window;
  WPARAM virtual_key;
  bool alt;     // an Alt key is held
  bool down;    // pressed (false: released)
  bool repeat;  // the keyboard's own repeat of a held key
};
// Sees every key before it becomes a message; a filter that returns true has
// taken the key, and the window procedure never sees it. Empty to remove.
void SetKeyFilter(std::function<bool(const KeyPress&)> filter);

// Switches the window between full screen and an ordinary window.
void ToggleFullScreen(HWND window);

// Destroys every window and shuts SDL down; the process's last platform call.
void Shutdown();

}  // namespace winapi
