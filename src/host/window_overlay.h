#pragma once
// A picture the window shows over the scaled frame without it ever entering the
// frame (the live console): frames, shots and recordings stay as they are, and
// nothing has to be put back after a present.

#include <cstdint>

#include "host/picture_geometry.h"

namespace host {

// Pixels in the display mode's format (2, 3 or 4 bytes), shown from the top-left
// corner of the picture's place in the window, each pixel `scale` window pixels
// square. The pixels must stay where they are until the overlay is changed.
struct Overlay {
  const uint8_t* pixels = nullptr;
  int width = 0, height = 0, pitch = 0, bytes_per_pixel = 4;
  int scale = 1;
};
// Null: no overlay.
void SetOverlay(const Overlay* overlay);
const Overlay* CurrentOverlay();

// The picture's place in the window the frames were last shown in, in window
// pixels; empty (0 x 0) before any frame was shown in a window.
PictureRect ShownPictureArea();

}  // namespace host
