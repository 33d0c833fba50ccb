#include "shell/demo_parts.h"

#include "efx/trig_tables.h"
#include "efx/twirl.h"
#include "gfx/display.h"
#include "gfx/gdi_helpers.h"
#include "shell/captions.h"
#include "shell/timeline.h"

namespace {

constexpr int kCaptionX = 50, kCaptionY = 50;
constexpr float kCaptionFontScale = 0.3f;
constexpr int kWorkWidth = 320, kWorkHeight = 200;
constexpr double kLightStepDegrees = 0.2;
constexpr double kLightRadius = 80;
constexpr double kColaStep = 0.01;

}  // namespace

namespace {
// What the timeline moves, as the start has it.
void PlaceParts(DemoParts& p, DWORD width, DWORD height) {
  p.cola.projection.x = static_cast<float>(width / 4);
  p.cola.projection.y = static_cast<float>(height / 2);
  p.cola.projection.z = 1000.0f;
  p.cola.rotation = vertices{270.0f, 0.0f, 0.0f};
  p.cola.scale = vertices{0.4f, 0.4f, 0.4f};
  p.bump.light_x = 160;
  p.bump.light_y = 100;
  p.light_angle = 0.0f;
}
}  // namespace

void LoadParts(DemoParts& p, DWORD width, DWORD height) {
  p.bios.init();
  p.cola.load("data/Cola.obj", 0);
  LoadCaptionFont("data/font.ult", kCaptionFontScale);
  PlaceParts(p, width, height);
  p.bump.create("data/bump.bmp", "data/height.bmp", "bump map");
  p.work.create(kWorkWidth, kWorkHeight);
  prepare_twirl(p.work);
  p.picture.load("data/twirl.bmp");
}

void RestartParts(DemoParts& p, DWORD width, DWORD height) {
  p.bios.update_count = 0;
  p.bios.memory = 0;
  p.bios.phase = 0;
  p.slide = efx_slide{};
  PlaceParts(p, width, height);
  p.work.clear(0);
  // The bump part lights over the twirl's picture.
  if (p.picture.loaded) reload_bitmap_surface(p.picture.surface, "data/twirl.bmp");
  p.picture_clear = false;
}

void StepBumpLight(float& angle, efx_bump& bump, const bitmap& picture) {
  angle = angle < 360 ? static_cast<float>(angle + kLightStepDegrees) : 0.0f;
  int k = static_cast<int>(angle);
  if (k >= 360) k = 0;
  bump.light_x = static_cast<int16_t>(static_cast<int>(COS[k] * kLightRadius + picture.width / 2));
  bump.light_y = static_cast<int16_t>(static_cast<int>(SIN[k] * kLightRadius + picture.height / 2));
}

void UpdatePart(int part, DemoParts& p) {
  switch (part) {
    case kPartBios: p.bios.update(); break;
    case kPartSlide:
      // The slide turns the captions too, so the twirl's caption starts where
      // these steps left it.
      p.slide.update();
      StepCaptionAngle();
      StepCaptionAngle();
      break;
    case kPartTwirl: StepCaptionAngle(); break;
    case kPartBump:
      // The clear and the light touch nothing the other reads, so their order
      // within the step does not show.
      StepBumpLight(p.light_angle, p.bump, p.picture);
      // Every step clears the picture, but only the first after a frame finds
      // anything to clear: the rest are left out (a clear reads the whole picture).
      if (!p.picture_clear) p.picture.clear(0);
      p.picture_clear = true;
      StepCaptionAngle();
      break;
    case kPartCola:
      p.cola.rotation.x = static_cast<float>(p.cola.rotation.x - kColaStep);
      p.cola.rotation.y = static_cast<float>(p.cola.rotation.y - kColaStep);
      p.cola.rotation.z = static_cast<float>(p.cola.rotation.z - kColaStep);
      break;
    default: break;
  }
}

void DrawPartCaption(int part, bitmap& target) {
  static const char* const captions[] = {nullptr, nullptr, "Twirl", "32-bit bump mapping", "Wireframe Cola"};
  if (part >= kPartTwirl && part <= kPartCola) DrawCaption(target, kCaptionX, kCaptionY, captions[part]);
}

void DrawPart(int part, DemoParts& p, bitmap& target) {
  switch (part) {
    case kPartBios: p.bios.draw(target); break;
    case kPartSlide: p.slide.draw(target); break;
    case kPartTwirl:
      twirl(p.work, p.picture);
      p.work.blit(target, nullptr, nullptr);
      DrawPartCaption(part, target);
      break;
    case kPartBump:
      p.bump.run(p.picture, 0);
      p.picture_clear = false;
      p.picture.blit(target, nullptr, nullptr);
      DrawPartCaption(part, target);
      break;
    case kPartCola:
      p.cola.draw(target);
      DrawPartCaption(part, target);
      break;
    default:
      text_printf(target, static_cast<int>(g_dwWidth / 2) - 100, static_cast<int>(g_dwHeight / 2), 255, 0,
                  "VIRHE: TUNTEMATON DEMOMOODI!!!");
      break;
  }
}
