#pragma once
// The effects exactly as written, pixel by pixel: the reference that the fast
// paths must match bit for bit (tests compare whole frames; the benchmark times
// both).

#include "efx/bump.h"
#include "gfx/2d.h"

void TwirlReference(bitmap& destination, bitmap& picture, float& phase);
void BumpReference(efx_bump& b, bitmap& destination);
