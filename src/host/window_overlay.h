#pragma once
// Pictures the window shows over the scaled frame without them ever entering the
// frame (the live console, the timeline bar): frames, shots and recordings stay as they are, and
// nothing has to be put back after a present.

#include <cstdint>

#include "host/picture_geometry.h"

namespace host {

// Where an overlay stands in the picture's place: the console from its top-left
// corner, the timeline bar along its bottom edge, over the console.
enum class OverlaySlot { kConsole, kTimeline };

// Pixels in the display mode's format (2, 3 or 4 bytes), each pixel `scale`
// window pixels square, laid over the picture with opacity `alpha` (255: opaque).
// The pixels must stay where they are until the overlay is changed.
struct Overlay {
  const uint8_t* pixels = nullptr;
  int width = 0, height = 0, pitch = 0, bytes_per_pixel = 4;
  int scale = 1;
  uint8_t alpha = 255;
};
// Null: none in that slot.
void SetOverlay(const Overlay* overlay, OverlaySlot slot = OverlaySlot::kConsole);
const Overlay* CurrentOverlay(OverlaySlot slot = OverlaySlot::kConsole);
// Whether any slot holds one.
bool AnyOverlay();

// The picture's place in the window the frames were last shown in, in window
// pixels; empty (0 x 0) before any frame was shown in a window.
PictureRect ShownPictureArea();

}  // namespace host
