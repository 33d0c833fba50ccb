// Where the picture goes on the screen, for a table of modes, screens and rules.
#include "host/picture_geometry.h"

#include <gtest/gtest.h>

namespace {

using host::Aspect;
using host::PlacePicture;
using host::Scale;

TEST(PictureGeometry, ModesScreensAndRules) {
  struct Row {
    int w, h, sw, sh;
    Aspect aspect;
    Scale scale;
    int x, y, width, height;
  };
  const Row rows[] = {
      // Fit: the largest picture of the rule's shape.
      {320, 200, 1920, 1080, Aspect::kCrt, Scale::kFit, 240, 0, 1440, 1080},
      {320, 200, 1920, 1080, Aspect::kSquare, Scale::kFit, 96, 0, 1728, 1080},
      {640, 480, 1920, 1080, Aspect::kCrt, Scale::kFit, 240, 0, 1440, 1080},
      {640, 400, 1920, 1080, Aspect::kCrt, Scale::kFit, 240, 0, 1440, 1080},
      {1920, 1080, 1920, 1080, Aspect::kCrt, Scale::kFit, 0, 0, 1920, 1080},  // wide modes keep square pixels
      {1600, 1200, 1920, 1080, Aspect::kCrt, Scale::kFit, 240, 0, 1440, 1080},
      {320, 200, 1024, 768, Aspect::kCrt, Scale::kFit, 0, 0, 1024, 768},
      {320, 200, 1024, 768, Aspect::kSquare, Scale::kFit, 0, 64, 1024, 640},
      {320, 200, 3840, 2160, Aspect::kCrt, Scale::kFit, 480, 0, 2880, 2160},
      {320, 200, 1280, 800, Aspect::kCrt, Scale::kFit, 106, 0, 1067, 800},  // 1066.67 rounds up
      // Integer: whole multiples per axis, the shape closest to the rule.
      {320, 200, 1920, 1080, Aspect::kCrt, Scale::kInteger, 320, 40, 1280, 1000},
      {320, 200, 1920, 1080, Aspect::kSquare, Scale::kInteger, 160, 40, 1600, 1000},
      {640, 480, 1920, 1080, Aspect::kCrt, Scale::kInteger, 320, 60, 1280, 960},
      {1920, 1080, 1920, 1080, Aspect::kCrt, Scale::kInteger, 0, 0, 1920, 1080},
      {320, 200, 3840, 2160, Aspect::kCrt, Scale::kInteger, 640, 80, 2560, 2000},
      // A screen smaller than the mode: one multiple, cut to the screen.
      {800, 600, 640, 480, Aspect::kCrt, Scale::kInteger, 0, 0, 640, 480},
  };
  for (const Row& r : rows) {
    host::PictureRect p = PlacePicture(r.w, r.h, r.sw, r.sh, r.aspect, r.scale);
    EXPECT_EQ(p.x, r.x) << r.w << "x" << r.h << " on " << r.sw << "x" << r.sh;
    EXPECT_EQ(p.y, r.y) << r.w << "x" << r.h << " on " << r.sw << "x" << r.sh;
    EXPECT_EQ(p.width, r.width) << r.w << "x" << r.h << " on " << r.sw << "x" << r.sh;
    EXPECT_EQ(p.height, r.height) << r.w << "x" << r.h << " on " << r.sw << "x" << r.sh;
  }
}

// The window a mode opens in, in 90 % of a desktop: the picture's shape, widths a
// whole number of the mode's where one fits.
TEST(PictureGeometry, WindowsHaveThePicturesShape) {
  struct Row {
    int w, h, room_w, room_h;
    Aspect aspect;
    int width, height;
  };
  const Row rows[] = {
      {320, 200, 1728, 972, Aspect::kCrt, 1280, 960},     // 1920 x 1080
      {320, 200, 1728, 972, Aspect::kSquare, 1280, 800},  //
      {640, 480, 1152, 720, Aspect::kCrt, 640, 480},      // 1280 x 800
      {1920, 1080, 1728, 972, Aspect::kCrt, 1728, 972},   // wider than the room: the largest fit
      {320, 200, 3456, 1944, Aspect::kCrt, 2560, 1920},   // 3840 x 2160
  };
  for (const Row& r : rows) {
    const host::WindowSize s = host::WindowForPicture(r.w, r.h, r.room_w, r.room_h, r.aspect);
    EXPECT_EQ(s.width, r.width) << r.w << "x" << r.h << " in " << r.room_w << "x" << r.room_h;
    EXPECT_EQ(s.height, r.height) << r.w << "x" << r.h << " in " << r.room_w << "x" << r.room_h;
  }
}

}  // namespace
