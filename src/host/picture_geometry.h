#pragma once
// Where the display mode's picture goes in a window: its shape (the 4:3 of a
// monitor of its time, or square pixels) and its size (the largest that fits, or
// whole multiples per axis), centred, black around.

namespace host {

enum class Aspect { kCrt, kSquare };
enum class Scale { kFit, kInteger };

struct PictureRect {
  int x = 0, y = 0, width = 0, height = 0;
};

// The width / height ratio the picture is shown at: modes up to 1600 pixels wide
// fill a 4:3 monitor under kCrt (320 x 200 pixels are 1.2 times taller than wide);
// wider modes, and every mode under kSquare, keep square pixels.
double PictureShape(int mode_width, int mode_height, Aspect aspect);

// The picture's place in a screen (or window) of the given size.
PictureRect PlacePicture(int mode_width, int mode_height, int screen_width, int screen_height, Aspect aspect,
                         Scale scale);

// The inside of a window for the mode: the picture's shape by the aspect rule,
// as large as fits `room`, preferring a width of a whole number of the mode's
// widths (the sharp filter then draws every pixel at the same width).
struct WindowSize {
  int width = 0, height = 0;
};
WindowSize WindowForPicture(int mode_width, int mode_height, int room_width, int room_height, Aspect aspect);

}  // namespace host
