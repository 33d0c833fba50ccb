#pragma once
// The picture twisted about the centre with a swinging strength.

#include "gfx/2d.h"

extern float twirl_phase;

void twirl(bitmap& destination, bitmap& picture);
// Works out what twirl() needs for a destination of this size ahead of its first
// frame, which would otherwise come late (the distance and angle of every pixel).
void prepare_twirl(const bitmap& destination);
// The phase after `phase` by one frame of the twirl: up by 0.05 to 90, then back to 60.
float next_twirl_phase(float phase);
// The destination as `frames` calls of twirl() from `phase` would leave it (the
// picture unchanged meanwhile), worked out from the last frame back: each pixel
// takes its colour from the latest frame whose source for it lies in the picture,
// so most frames need only the few pixels no later frame reached. Returns the
// phase the calls would leave.
float twirl_frames(bitmap& destination, bitmap& picture, float phase, int frames);
// The twirl's single fold of an angle: above 359 to the whole part of a - 359,
// below 0 to the whole part of a + 359.
float fold_twirl_angle(float a);
float distance_of(int x, int y, int cx, int cy);
// Degrees about the centre in screen orientation: 0 left, 90 up, 180 right, 270 down.
double angle_of(int x, int y, int cx, int cy);
