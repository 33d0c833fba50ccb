#pragma once
// The five parts' objects, their loading, one update step and one frame of each.

#include "efx/bios.h"
#include "efx/bump.h"
#include "efx/object3d.h"
#include "efx/slide.h"
#include "gfx/2d.h"

// Owned by the driver; members are constructed in this order and destroyed in the
// reverse one.
struct DemoParts {
  efx_bios bios;
  efx_3d cola;
  efx_bump bump;
  bitmap work;                 // the twirl draws here
  bitmap picture;              // the twirl's source, then the bump map's target
  bool picture_clear = false;  // nothing drawn into the picture since it was cleared
  float light_angle = 0.0f;
  efx_slide slide;
};

// Loads every part's data and places the bottle for a display of width x height.
// Results are not checked: a part whose data failed still runs.
void LoadParts(DemoParts& parts, DWORD width, DWORD height);

// The parts back to where LoadParts left them, with nothing loaded again: a move
// on the timeline starts from there.
void RestartParts(DemoParts& parts, DWORD width, DWORD height);

// One millisecond of `part`.
void UpdatePart(int part, DemoParts& parts);

// The bump part's light: 0.2 degrees on per step, back to 0 once past 360, and the
// light placed on a circle of radius 80 about the picture's centre.
void StepBumpLight(float& angle, efx_bump& bump, const bitmap& picture);

// Draws one frame of `part` into `target`, caption included. An unknown part
// shows the driver's error line.
void DrawPart(int part, DemoParts& parts, bitmap& target);
// The caption alone, as DrawPart draws it last (none before the twirl).
void DrawPartCaption(int part, bitmap& target);
