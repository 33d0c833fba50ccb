#pragma once
// The program's windows on the desktop (a canvas in a web page), with the
// desktop's pointer and keyboard around them. A window is a handle of the
// host's: the stand-ins for the old calls keep one in each of theirs.

#include <cstdint>
#include <string>
#include <vector>

namespace host {

struct Window;

// A hidden window titled `title`: full screen at the desktop's size, or when
// the settings ask for a window an ordinary one of the windowed size, centred
// and resizable (a page's canvas keeps the mode's size). Null, with the last
// error text set, when no display can be had or the desktop refuses.
Window* OpenWindow(const char* title, int width, int height);
// Closes the window, its presentation first; its screen memory is taken back.
void CloseWindow(Window* window);
void ShowWindow(Window* window);
void RaiseWindow(Window* window);
bool WindowMinimised(const Window* window);
// The window an event of the desktop's names, by the desktop's number for it.
Window* WindowWithId(uint32_t id);

// The size in pixels of the desktop on the chosen screen (SetScreen); false
// when no display can be had.
bool DesktopSize(int& width, int& height);

// The screens of the desktop, in the system's order; empty when no display can
// be had. A rate of 0: the system does not say.
struct Screen {
  std::string name;
  int x = 0, y = 0, width = 0, height = 0;
  int refresh_hz = 0;
};
std::vector<Screen> Screens();
void ShowPointer(bool shown);
// While on, the pointer is held in the window and only its motion is reported
// (an exclusive mouse).
void SetRelativeMouse(bool on);
// Milliseconds since the display started, the time stamp of input events.
uint32_t InputTicks();

// Whether the display is up.
bool DisplayStarted();
// Closes every window and the display: the process's last host call (a later
// window starts the display anew).
void ShutDown();

}  // namespace host
