#pragma once
// The window's size and place on the desktop: full screen or an ordinary window,
// and a window sized to the picture it shows.

namespace host {

struct Window;

// A window that is sized to the picture takes the size for a mode of w x h (in a
// web page the canvas takes the mode's pixels one for one).
void SizeWindowToPicture(Window* window, int w, int h);
// Full screen at the desktop's size, or a resizable window of the windowed size;
// only the presentation changes, the display and its surfaces stay.
void ToggleFullScreen(Window* window);
// After a change to the window: an ordinary window's size is the one Alt+Enter
// comes back to from full screen.
void NoteWindowSize(Window* window);

}  // namespace host
