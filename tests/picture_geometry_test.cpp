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

}  // namespace
