#pragma once
// The one place a finished frame goes: the way to a start time, the window,
// the program's hooks (shots, recording) and the clock. The screen surface
// hands its frame over and knows nothing of what happens next.

#include <cstdint>
#include <functional>
#include <optional>

namespace host {

class ScreenMemory;
struct Window;

// Pixels of a frame in the display mode's own format.
struct PresentedFrame {
  const uint8_t* pixels;
  int width;
  int height;
  int pitch;
  int bits_per_pixel;
};
using PresentHook = std::function<void(const PresentedFrame&)>;

// Called after every presentation of a frame; empty to remove.
void SetPresentHook(PresentHook hook);
// Called with the frame on the screen when the player asks for it (F12).
void SetSnapshotHook(PresentHook hook);
// Where the frame on the screen is found (the newest display's screen).
void SetShownFrameSource(std::function<std::optional<PresentedFrame>()> source);
// Hands the frame on the screen to the snapshot hook.
void SaveShownFrame();

// A finished frame of `width` x `height` pixels in `memory` (`pitch` bytes a
// row, 2, 3 or 4 bytes a pixel), for `window` (null: none).
void PresentFrame(Window* window, ScreenMemory& memory, int width, int height, int pitch, int bytes_per_pixel);
// A copy onto a screen that could not take it (lost): not shown, but counted by
// the clock, so a run whose screen is lost still moves on.
void CountUnshownFrame();

}  // namespace host
