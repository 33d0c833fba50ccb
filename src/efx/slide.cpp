#include "efx/slide.h"

void efx_slide::update() {
  if (tick_counter < 800) {
    ++tick_counter;
    return;
  }
  tick_counter = 0;
  column = column < 9 ? column + 1 : 0;
  downward = !downward;
}

void efx_slide::draw(bitmap& target) {
  const int left = 64 * column, right = left + 64, H = target.height;
  RECT source, destination;
  if (downward) {
    source = RECT{left, 0, right, H - 8};
    destination = RECT{left, 7, right, H - 1};
  } else {
    source = RECT{left, 7, right, H - 1};
    destination = RECT{left, 0, right, H - 8};
  }
  target.blit(target, &source, &destination);
}
