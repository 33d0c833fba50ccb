#pragma once
// The program's windows on the desktop (a canvas in a web page), with the
// desktop's pointer and keyboard around them. A window is a handle of the
// host's: the stand-ins for the old calls keep one in each of theirs.

#include <cstdint>

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

// The desktop's size in pixels; false when no display can be had.
bool DesktopSize(int& width, int& height);
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
