#pragma once
// Shows the screen surface's pixels in an SDL window by the picture rules, with
// the chosen filter: through the GPU (SDL's accelerated renderer, vsync) where
// there is a real one, else on the CPU into the window's own surface.

#include <SDL.h>

#include <cstdint>

namespace platform::detail {

struct FramePixels {
  const uint8_t* pixels;
  int width, height, pitch, bytes_per_pixel;
};

void PresentInWindow(SDL_Window* window, const FramePixels& frame);
// Before a window is destroyed: its renderer and textures go first.
void ForgetWindow(SDL_Window* window);
// After any change to the window (size, full screen, shown again): the borders
// around the picture are drawn again on the next frame.
void WindowChanged(SDL_Window* window);

}  // namespace platform::detail
