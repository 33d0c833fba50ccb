#pragma once
// The web page around the WebAssembly build (web/index.html): what the program
// hands to it. In the desktop build these do nothing.

#include <string>

#include "host/picture_geometry.h"

namespace host {

#ifdef __EMSCRIPTEN__
constexpr bool kInWebPage = true;
#else
constexpr bool kInWebPage = false;
#endif

// The shape the page shows the picture at (--aspect); the canvas itself always
// holds the display mode's pixels one for one.
void SetPageAspect(Aspect aspect);
// The canvas now holds a picture of this many pixels: the page sizes it.
void ShapePageCanvas(int width, int height);
// A frame saved at `path` (a PNG file): the page keeps it as a data URL in
// window.velmoraShots, named by the path relative to the working folder.
void HandShotToPage(const std::string& path);
// Alt+Enter: the page's full-screen switch.
void TogglePageFullScreen();

}  // namespace host
