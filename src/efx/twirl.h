#pragma once
// The picture twisted about the centre with a swinging strength.

#include "gfx/2d.h"

extern float twirl_phase;

void twirl(bitmap& destination, bitmap& picture);
float distance_of(int x, int y, int cx, int cy);
// Degrees about the centre in screen orientation: 0 left, 90 up, 180 right, 270 down.
double angle_of(int x, int y, int cx, int cy);
