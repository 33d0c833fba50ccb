#include "host/settings.h"

namespace host {
namespace {

struct Settings {
  bool windowed = false;
  bool window_sized_to_picture = false;
  bool present_to_window = true;
  Filter filter = Filter::kNearest;
  Renderer renderer = Renderer::kCpu;
  bool vsync = true;
  Aspect aspect = Aspect::kCrt;
  Scale scale = Scale::kFit;
  int window_width = 960;
  int window_height = 600;
  int screen = 0;
};
Settings& settings() {
  static Settings s;
  return s;
}

}  // namespace

void SetPictureRules(Aspect aspect, Scale scale) {
  settings().aspect = aspect;
  settings().scale = scale;
}
Aspect PictureAspect() { return settings().aspect; }
Scale PictureScale() { return settings().scale; }

void SetPresentation(Filter filter, Renderer renderer, bool vsync) {
  settings().filter = filter;
  settings().renderer = renderer;
  settings().vsync = vsync;
}
Filter PictureFilter() { return settings().filter; }
Renderer ChosenRenderer() { return settings().renderer; }
bool Vsync() { return settings().vsync; }

void SetPresentToWindow(bool on) { settings().present_to_window = on; }
bool PresentToWindow() { return settings().present_to_window; }

void SetWindowed(bool windowed, int width, int height) {
  settings().windowed = windowed;
  settings().window_sized_to_picture = width <= 0 || height <= 0;
  settings().window_width = width > 0 ? width : 960;
  settings().window_height = height > 0 ? height : 600;
}
bool Windowed() { return settings().windowed; }
void SetScreen(int index) { settings().screen = index > 0 ? index : 0; }
int ChosenScreen() { return settings().screen; }
bool WindowSizedToPicture() { return settings().window_sized_to_picture; }
void SetWindowedSize(int width, int height) {
  settings().window_width = width;
  settings().window_height = height;
}
int WindowedWidth() { return settings().window_width; }
int WindowedHeight() { return settings().window_height; }

}  // namespace host
