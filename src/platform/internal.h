#pragma once
// Shared between the platform layer's own files; never included by the engine.

#include <SDL.h>

#include <functional>

#include "platform/ddraw.h"
#include "platform/win32.h"

namespace platform::detail {

// Starts SDL's video subsystem once; false (with the last error text set) when no
// display can be had.
bool EnsureVideo();
SDL_Window* SdlWindowOf(HWND window);
// Every surface of every live display object loses its memory, as DirectDraw
// surfaces do when an exclusive full-screen program is minimised.
void MarkAllSurfacesLost();
// A window that is sized to the picture takes the size for a mode of w x h.
void SizeWindowToPicture(HWND window, int w, int h);
// Hands the newest display's screen, as shown, to the snapshot hook (F12).
void SaveShownFrame();
// Shows the display's primary surface in its window.
void Present(IDirectDraw7& display);
// Every primary surface whose pixels live in this window's surface takes them
// back into its own memory: before the window is resized, switched or destroyed.
void MoveOutOfWindow(SDL_Window* window);
// Sees every SDL event before it becomes a window message (the input devices).
void AddEventObserver(std::function<void(const SDL_Event&)> observer);
// Whether the program's window is active and not minimised (input devices held
// in the foreground need it), and the input side of a change of it.
bool WindowInForeground();
void InputForeground(bool foreground);
// Called by the calls a program makes between two steps of its loop (taking a
// message, reading input). A tick count read twice with none of them in between
// is a wait for the tick to move, which then sleeps instead of spinning.
void NoteLoopActivity();
// Turns SDL's waiting events into messages (and the player's own keys into
// their actions).
void PumpEvents();
// The DirectInput key code (set-1 scan code, extended keys + 128) of an SDL scan
// code; 0 for keys a PC keyboard lacks.
uint8_t DikOfScancode(int sdl_scancode);
// The tick count for the layer's own use (message times, timers): never sleeps
// and does not count as the program's read.
DWORD CurrentTick();

}  // namespace platform::detail

namespace platform {
int WindowedWidth();
int WindowedHeight();
bool WindowSizedToPicture();
void SetWindowedSize(int width, int height);
}  // namespace platform

namespace platform::detail {

// Pixel values in a surface format of 2, 3 or 4 bytes per pixel: RGB565, BGR byte
// triples (blue lowest), XRGB8888.
DWORD PixelFromRgb(int bytes_per_pixel, uint8_t r, uint8_t g, uint8_t b);
void RgbFromPixel(int bytes_per_pixel, DWORD pixel, uint8_t& r, uint8_t& g, uint8_t& b);
inline DWORD LoadPixel(const uint8_t* p, int bytes_per_pixel) {
  DWORD v = p[0] | p[1] << 8;
  if (bytes_per_pixel > 2) v |= DWORD(p[2]) << 16;
  if (bytes_per_pixel > 3) v |= DWORD(p[3]) << 24;
  return v;
}
inline void StorePixel(uint8_t* p, int bytes_per_pixel, DWORD v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  if (bytes_per_pixel > 2) p[2] = static_cast<uint8_t>(v >> 16);
  if (bytes_per_pixel > 3) p[3] = static_cast<uint8_t>(v >> 24);
}

}  // namespace platform::detail
