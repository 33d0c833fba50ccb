#pragma once
// Shows the screen surface's pixels in a window by the picture rules, with the
// chosen filter: through the GPU (an accelerated renderer, vsync) where there
// is a real one, else on the CPU into the window's own surface.

#include <cstdint>

namespace host {

struct Window;

struct FramePixels {
  const uint8_t* pixels;
  int width, height, pitch, bytes_per_pixel;
};

void PresentInWindow(Window* window, const FramePixels& frame);
// The window's own surface when it can hold a frame of this size and layout one
// for one (the CPU path, a 32-bit mode, a window of the mode's size), else null:
// a screen surface can keep its pixels there, and showing them is then only the
// window's update (ShowWindowSurface).
uint8_t* WindowSurfaceFor(Window* window, int width, int height, int pitch, int bytes_per_pixel);
// Whether the window still has the size its surface was given for.
bool WindowStillFits(Window* window, int width, int height);
// False when the window's surface is no longer valid (the desktop dropped it).
bool ShowWindowSurface(Window* window);
// Before a window is destroyed: its renderer and textures go first.
void ForgetWindow(Window* window);
// Whether a window presents through the GPU renderer.
bool PresentingOnGpu();
// After any change to the window (size, full screen, shown again): the borders
// around the picture are drawn again on the next frame.
void WindowChanged(Window* window);

}  // namespace host
