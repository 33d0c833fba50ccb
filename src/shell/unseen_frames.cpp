#include "shell/unseen_frames.h"

#include "efx/twirl.h"
#include "shell/captions.h"
#include "shell/timeline.h"

void UnseenFrames::PayBios(efx_bios& bios, bitmap& target) {
  if (!bios_.owed) return;
  const int updates = bios.update_count, phase = bios.phase;
  const DWORD memory = bios.memory;
  bios.update_count = bios_.update_count;
  bios.memory = bios_.memory;
  bios.draw(target);
  bios.update_count = updates;
  bios.memory = memory;
  bios.phase = phase;
  bios_.owed = false;
}

// Within a phase each power-on frame paints over the one before: the same text
// opaque in the same places, only the memory count growing.
bool UnseenFrames::CoversOwedBios(int part, const efx_bios& bios) const {
  return part == kPartBios && efx_bios::phase_at(bios_.update_count) == efx_bios::phase_at(bios.update_count);
}

void UnseenFrames::Draw(int part, DemoParts& p, bitmap& target) {
  if (!CoversOwedBios(part, p.bios)) PayBios(p.bios, target);
  if (part != kPartTwirl) twirl_frames_ = 0;
  if (part != kPartCola) target_black_ = false;
  switch (part) {
    case kPartBios: bios_ = BiosFrame{true, p.bios.update_count, p.bios.memory}; break;
    case kPartSlide: p.slide.draw(target); break;  // each strip moves what the frame before left
    case kPartTwirl:
      // The work surface keeps what no later frame reaches; Settle works it out.
      if (twirl_frames_++ == 0) twirl_phase_ = twirl_phase;
      twirl_phase = next_twirl_phase(twirl_phase);
      break;
    case kPartBump:
      // The next picture covers its own rectangle, but the caption's letters
      // past its edge stay on the frame.
      bump_ = BumpFrame{true, p.bump.light_x, p.bump.light_y, g_fCaptionAngle};
      if (target.width > p.picture.width || target.height > p.picture.height) DrawPartCaption(part, target);
      break;
    case kPartCola:
      // Every bottle frame is cleared once shown; the first one, over the bump
      // part's last, too.
      bump_.owed = false;
      p.cola.fold_rotation();
      if (!target_black_) target.clear(0);
      target_black_ = true;
      break;
    default: DrawPart(part, p, target); break;
  }
}

void UnseenFrames::Settle(int part, DemoParts& p, bitmap& target) {
  if (!CoversOwedBios(part, p.bios)) PayBios(p.bios, target);
  if (part == kPartTwirl && twirl_frames_ > 0) twirl_frames(p.work, p.picture, twirl_phase_, twirl_frames_);
  if (part == kPartCola && bump_.owed) {
    // The first bottle is drawn over the bump part's last frame.
    const int16_t x = p.bump.light_x, y = p.bump.light_y;
    const float angle = g_fCaptionAngle;
    p.bump.light_x = bump_.light_x;
    p.bump.light_y = bump_.light_y;
    g_fCaptionAngle = bump_.caption_angle;
    DrawPart(kPartBump, p, target);  // over the picture its last step cleared
    p.bump.light_x = x;
    p.bump.light_y = y;
    g_fCaptionAngle = angle;
  }
  *this = UnseenFrames{};
}
