#include "host/web_page.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

namespace host {
namespace {
Aspect page_aspect = Aspect::kCrt;
}

void SetPageAspect(Aspect aspect) { page_aspect = aspect; }

#ifdef __EMSCRIPTEN__

void ShapePageCanvas(int width, int height) {
  const double shape = PictureShape(width, height, page_aspect);
  EM_ASM(
      {
        if (Module.velmoraShapeCanvas) Module.velmoraShapeCanvas($0, $1, $2);
      },
      width, height, shape);
}

void HandShotToPage(const std::string& path) {
  EM_ASM(
      {
        if (Module.velmoraKeepShot) Module.velmoraKeepShot(UTF8ToString($0));
      },
      path.c_str());
}

void TogglePageFullScreen() {
  EM_ASM({
    if (Module.velmoraToggleFullScreen) Module.velmoraToggleFullScreen();
  });
}

#else

void ShapePageCanvas(int, int) {}
void HandShotToPage(const std::string&) {}
void TogglePageFullScreen() {}

#endif

}  // namespace host
