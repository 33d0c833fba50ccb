#pragma once
// How the picture is shown: the window, the placement rules, the filter and the
// renderer. Set once by the program's entry (and by tests) before the first
// window opens; read by the presentation.

#include "host/picture_geometry.h"

namespace host {

// How the picture is placed in the window (default: the 4:3 shape, largest fit).
void SetPictureRules(Aspect aspect, Scale scale);
Aspect PictureAspect();
Scale PictureScale();

// How the picture is filtered when scaled: nearest neighbour; sharp (nearest to
// the largest whole multiple, then linear to the final size: crisp pixels of even
// widths); or linear.
enum class Filter { kNearest, kSharp, kLinear };
// Where the window's picture is scaled: the GPU through SDL's accelerated
// renderer, the CPU into the window's surface, or (auto) the GPU when it is a
// real one and not a software OpenGL.
enum class Renderer { kAuto, kGpu, kCpu };
void SetPresentation(Filter filter, Renderer renderer, bool vsync);
Filter PictureFilter();
Renderer ChosenRenderer();
bool Vsync();

// Whether presented frames are drawn into the window (the default). A recording
// turns it off: the frames go to the file only.
void SetPresentToWindow(bool on);
bool PresentToWindow();

// Windows open on the whole desktop (full screen) by default, or as ordinary
// windows of the given size. A size of 0 x 0 sizes the window to the picture
// once the display mode is set: the largest whole multiple of it (by the aspect
// rule) that fits 90 % of the desktop.
void SetWindowed(bool windowed, int width = 0, int height = 0);
bool Windowed();
bool WindowSizedToPicture();
// The screen windows open on, from 0 (the first, the default).
void SetScreen(int index);
int ChosenScreen();
// The size a window takes when it leaves full screen.
void SetWindowedSize(int width, int height);
int WindowedWidth();
int WindowedHeight();

}  // namespace host
