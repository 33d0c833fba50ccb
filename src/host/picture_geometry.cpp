#include "host/picture_geometry.h"

#include <algorithm>
#include <cmath>

namespace host {

double PictureShape(int w, int h, Aspect aspect) {
  if (aspect == Aspect::kCrt && w <= 1600) return 4.0 / 3.0;
  return double(w) / h;
}

PictureRect PlacePicture(int w, int h, int sw, int sh, Aspect aspect, Scale scale) {
  PictureRect r;
  if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return r;
  const double shape = PictureShape(w, h, aspect);
  if (scale == Scale::kFit) {
    r.width = sw;
    r.height = int(std::lround(sw / shape));
    if (r.height > sh) {
      r.height = sh;
      r.width = std::min(sw, int(std::lround(sh * shape)));
    }
  } else {
    // Whole multiples per axis; the tallest picture whose shape comes closest to
    // the aspect rule (within a tenth), else the closest of all.
    const int max_x = std::max(1, sw / w), max_y = std::max(1, sh / h);
    int best_x = 1, best_y = 1;
    double best_error = 1e9;
    for (int ky = max_y; ky >= 1; --ky) {
      const int kx = std::clamp(int(std::lround(ky * h * shape / w)), 1, max_x);
      const double error = std::fabs(double(kx) * w / (double(ky) * h) / shape - 1);
      if (error < best_error - 1e-9) best_error = error, best_x = kx, best_y = ky;
      if (error <= 0.1) break;
    }
    r.width = std::min(sw, best_x * w);
    r.height = std::min(sh, best_y * h);
  }
  r.x = (sw - r.width) / 2;
  r.y = (sh - r.height) / 2;
  return r;
}

WindowSize WindowForPicture(int w, int h, int room_w, int room_h, Aspect aspect) {
  if (w <= 0 || h <= 0 || room_w <= 0 || room_h <= 0) return {};
  const double shape = PictureShape(w, h, aspect);
  for (int k = room_w / w; k >= 1; --k) {
    const int height = int(std::lround(k * w / shape));
    if (height <= room_h) return {k * w, height};
  }
  // Not even one width fits: the largest picture of the shape.
  const PictureRect fit = PlacePicture(w, h, room_w, room_h, aspect, Scale::kFit);
  return {fit.width, fit.height};
}

}  // namespace host
