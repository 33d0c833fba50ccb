#pragma once
// Frames no one sees (on the way to a start time, or too late for their
// refresh) still count, for later frames build on them; but most need not be
// drawn. Each part makes only what a later frame reads, and the next frame
// shown is handed what the undrawn ones owe it.

#include <cstdint>

#include "shell/demo_parts.h"

class UnseenFrames {
 public:
  // One unseen frame of `part`, in place of DrawPart into `target`.
  void Draw(int part, DemoParts& parts, bitmap& target);
  // Before a shown frame of `part` is drawn into `target`.
  void Settle(int part, DemoParts& parts, bitmap& target);

 private:
  // A frame left undrawn for a later one to cover, and what drawing it needs.
  struct BiosFrame {
    bool owed = false;
    int update_count = 0;
    DWORD memory = 0;
  };
  struct BumpFrame {
    bool owed = false;
    int16_t light_x = 0, light_y = 0;
    float caption_angle = 0;
  };
  bool CoversOwedBios(int part, const efx_bios& bios) const;
  void PayBios(efx_bios& bios, bitmap& target);

  BiosFrame bios_;
  BumpFrame bump_;
  int twirl_frames_ = 0;       // twirl frames undrawn in a row
  float twirl_phase_ = 0;      // the phase before the first of them
  bool target_black_ = false;  // cleared by an unseen frame, nothing drawn since
};
