#pragma once
// The picture twisted about the centre with a swinging strength.

#include "gfx/2d.h"

extern float twirl_phase;

void twirl(bitmap& destination, bitmap& picture);
// The twirl's single fold of an angle: above 359 to the whole part of a - 359,
// below 0 to the whole part of a + 359.
float fold_twirl_angle(float a);
float distance_of(int x, int y, int cx, int cy);
// Degrees about the centre in screen orientation: 0 left, 90 up, 180 right, 270 down.
double angle_of(int x, int y, int cx, int cy);
