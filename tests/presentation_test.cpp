// What the window shows: the mode's pixels scaled to the window with the aspect
// ratio kept, black around.
#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "host/event.h"
#include "host/picture_geometry.h"
#include "host/sdl_window.h"
#include "host/settings.h"
#include "support.h"
#include "winapi/internal.h"

namespace {

using Presentation = test::DisplayTest;

// A pattern frame of the mode's size copied to the screen, and the window's
// pixel at (x, y) as 0x00RRGGBB.
class Shown {
 public:
  explicit Shown(bitmap& frame) {
    test::FillPattern(frame);
    EXPECT_EQ(frame.blit(primary, nullptr, nullptr), 1);
    screen_ = SDL_GetWindowSurface(host::SdlWindow(winapi::detail::HostWindowOf(hWnd)));
  }
  SDL_Surface* screen() const { return screen_; }
  DWORD operator()(int x, int y) const {
    Uint8 r, g, b;
    Uint32 v = 0;
    std::memcpy(&v, static_cast<uint8_t*>(screen_->pixels) + size_t(y) * screen_->pitch + size_t(x) * 4, 4);
    SDL_GetRGB(v, screen_->format, &r, &g, &b);
    return DWORD(r) << 16 | DWORD(g) << 8 | b;
  }

 private:
  SDL_Surface* screen_ = nullptr;
};

TEST_F(Presentation, FullScreenFrameIsScaledNearestWithBlackBorders) {
  host::SetPictureRules(host::Aspect::kSquare, host::Scale::kFit);
  OpenDisplay(320, 200, 32);  // on the offscreen driver's 1024 x 768 desktop
  bitmap frame;
  ASSERT_EQ(frame.create(320, 200), 1);
  const Shown shown(frame);
  ASSERT_NE(shown.screen(), nullptr);
  ASSERT_EQ(shown.screen()->w, 1024);
  ASSERT_EQ(shown.screen()->h, 768);
  // 1024 x 640 at y = 64: the aspect of 320 x 200 with square pixels.
  for (int y : {0, 63, 704, 767}) EXPECT_EQ(shown(500, y), 0u) << y;
  for (int y = 64; y < 704; y += 37)
    for (int x = 0; x < 1024; x += 41)
      ASSERT_EQ(shown(x, y), test::PixelAt(frame, x * 320 / 1024, (y - 64) * 200 / 640)) << x << "," << y;
  host::SetPictureRules(host::Aspect::kCrt, host::Scale::kFit);
}

TEST_F(Presentation, ByDefaultA320x200PictureFillsA4To3Screen) {
  OpenDisplay(320, 200, 32);
  bitmap frame;
  ASSERT_EQ(frame.create(320, 200), 1);
  const Shown shown(frame);
  ASSERT_NE(shown.screen(), nullptr);
  // Pixels 1.2 times taller than wide: all 768 rows show the picture.
  for (int y : {0, 383, 767}) EXPECT_EQ(shown(500, y), test::PixelAt(frame, 500 * 320 / 1024, y * 200 / 768)) << y;
}

class WindowedPresentation : public test::DisplayTest {
 protected:
  void SetUp() override {
    host::SetWindowed(true);  // before the window is made
    test::DisplayTest::SetUp();
  }
  void TearDown() override {
    test::DisplayTest::TearDown();
    host::SetWindowed(false);
  }
};

TEST_F(WindowedPresentation, AWindowWithoutASizeHasThePicturesShapeInWholeWidths) {
  OpenDisplay(320, 200, 32);
  int w = 0, h = 0;
  SDL_GetWindowSize(host::SdlWindow(winapi::detail::HostWindowOf(hWnd)), &w, &h);
  // On the offscreen driver's 1024 x 768 desktop, 90 % is 921 x 691: two widths
  // of the mode at 4:3.
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
}

TEST_F(Presentation, SixteenBitModesShowTheirColours) {
  OpenDisplay(64, 40, 16);
  bitmap frame;
  ASSERT_EQ(frame.create(64, 40), 1);
  frame.clear(0xF800);  // red in RGB565
  ASSERT_EQ(frame.blit(primary, nullptr, nullptr), 1);
  SDL_Surface* screen = SDL_GetWindowSurface(host::SdlWindow(winapi::detail::HostWindowOf(hWnd)));
  ASSERT_NE(screen, nullptr);
  Uint32 v = 0;
  std::memcpy(&v, static_cast<uint8_t*>(screen->pixels) + size_t(384) * screen->pitch + 512 * 4, 4);
  Uint8 r, g, b;
  SDL_GetRGB(v, screen->format, &r, &g, &b);
  EXPECT_EQ(r, 255);
  EXPECT_EQ(g, 0);
  EXPECT_EQ(b, 0);
}

}  // namespace

namespace {

// Channels of a and b differ by at most one level from a blend of the two with
// some weight, and a blended pixel lies between its neighbours.
bool Between(DWORD v, DWORD a, DWORD b) {
  for (int shift : {0, 8, 16}) {
    const int c = int(v >> shift & 0xFF), lo = int(std::min(a >> shift & 0xFF, b >> shift & 0xFF)),
              hi = int(std::max(a >> shift & 0xFF, b >> shift & 0xFF));
    if (c < lo - 1 || c > hi + 1) return false;
  }
  return true;
}

// The sharp filter: 320 x 200 into the offscreen 1024 x 768 desktop at 4:3 fills
// it; whole multiples are 3 x 3 (960 x 600), so each picture pixel shows as a
// block of one colour with a blended seam at most one pixel wide on its edges.
TEST_F(Presentation, SharpShowsEachPixelAsAnEvenBlockWithOneBlendedSeam) {
  host::SetPresentation(host::Filter::kSharp, host::Renderer::kCpu, false);
  OpenDisplay(320, 200, 32);
  bitmap frame;
  ASSERT_EQ(frame.create(320, 200), 1);
  const Shown shown(frame);
  ASSERT_NE(shown.screen(), nullptr);
  int exact = 0, seams = 0;
  for (int y = 0; y < 768; y += 7)
    for (int x = 0; x < 1024; x += 5) {
      const int sx = x * 320 / 1024, sy = y * 200 / 768;
      const DWORD v = shown(x, y), own = test::PixelAt(frame, sx, sy);
      bool whole_pixel = false;  // the colour of this picture pixel or the one beside it
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
          whole_pixel =
              whole_pixel || v == test::PixelAt(frame, std::clamp(sx + dx, 0, 319), std::clamp(sy + dy, 0, 199));
      if (whole_pixel) {
        ++exact;
        continue;
      }
      // Not its own colour: a seam between it and a neighbour.
      bool seam = false;
      for (int dy = -1; dy <= 1 && !seam; ++dy)
        for (int dx = -1; dx <= 1 && !seam; ++dx) {
          const int nx = std::clamp(sx + dx, 0, 319), ny = std::clamp(sy + dy, 0, 199);
          for (int ey = -1; ey <= 1 && !seam; ++ey) {
            const int my = std::clamp(sy + ey, 0, 199);
            seam = Between(v, test::PixelAt(frame, nx, ny), test::PixelAt(frame, sx + 0, my)) ||
                   Between(v, own, test::PixelAt(frame, nx, ny));
          }
        }
      ASSERT_TRUE(seam) << x << "," << y;
      ++seams;
    }
  // Per axis about one output pixel in 3.2 (across) and 3.84 (down) is a seam;
  // nearer half of the pixels show a picture pixel's own colour, unblended.
  EXPECT_GT(exact, seams);
  EXPECT_GT(seams, 0);
  host::SetPresentation(host::Filter::kNearest, host::Renderer::kCpu, false);
}

// The seams of black and white columns, byte for byte: their weights are the
// rounded fractions of bilinear filtering (300 pixels shown 1024 wide, where
// truncated weights would come out one lower).
TEST_F(Presentation, SharpSeamsOfBlackAndWhiteColumnsHaveTheirExactGreys) {
  host::SetPresentation(host::Filter::kSharp, host::Renderer::kCpu, false);
  OpenDisplay(300, 200, 32);
  bitmap frame;
  ASSERT_EQ(frame.create(300, 200), 1);
  ASSERT_EQ(frame.lock(), DD_OK);
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 300; ++x) frame.put_pixel(x, y, x & 1 ? 0xFFFFFF : 0);
  frame.unlock();
  ASSERT_EQ(frame.blit(primary, nullptr, nullptr), 1);
  SDL_Surface* screen = SDL_GetWindowSurface(host::SdlWindow(winapi::detail::HostWindowOf(hWnd)));
  ASSERT_NE(screen, nullptr);
  std::vector<int> greys;
  for (int x = 0; x < 17; ++x) greys.push_back(static_cast<uint8_t*>(screen->pixels)[size_t(x) * 4 + 1]);
  EXPECT_EQ(greys, (std::vector<int>{0, 0, 0, 147, 255, 255, 200, 0, 0, 0, 186, 255, 255, 161, 0, 0, 0}));
  host::SetPresentation(host::Filter::kNearest, host::Renderer::kCpu, false);
}

// Linear filtering of two flat halves: flat far from the edge, a monotone ramp
// across it.
TEST_F(Presentation, LinearRampsBetweenFlatAreas) {
  host::SetPresentation(host::Filter::kLinear, host::Renderer::kCpu, false);
  host::SetPictureRules(host::Aspect::kSquare, host::Scale::kFit);
  OpenDisplay(64, 48, 32);
  bitmap frame;
  ASSERT_EQ(frame.create(64, 48), 1);
  RECT left{0, 0, 32, 48}, right{32, 0, 64, 48};
  DDBLTFX fx{};
  fx.dwSize = sizeof fx;
  fx.dwFillColor = 0x000000;
  frame.surface->Blt(&left, nullptr, nullptr, DDBLT_COLORFILL, &fx);
  fx.dwFillColor = 0xFFFFFF;
  frame.surface->Blt(&right, nullptr, nullptr, DDBLT_COLORFILL, &fx);
  ASSERT_EQ(frame.blit(primary, nullptr, nullptr), 1);
  SDL_Surface* screen = SDL_GetWindowSurface(host::SdlWindow(winapi::detail::HostWindowOf(hWnd)));
  auto at = [&](int x, int y) {
    Uint32 v = 0;
    std::memcpy(&v, static_cast<uint8_t*>(screen->pixels) + size_t(y) * screen->pitch + size_t(x) * 4, 4);
    return v & 0xFF;
  };
  EXPECT_EQ(at(100, 384), 0u);
  EXPECT_EQ(at(900, 384), 255u);
  int previous = 0, between = 0;
  for (int x = 0; x < 1024; ++x) {
    const int v = int(at(x, 384));
    EXPECT_GE(v, previous) << x;
    previous = v;
    between += v > 0 && v < 255;
  }
  EXPECT_GE(between, 8);  // a ramp, not a step (16 output pixels per picture pixel)
  host::SetPictureRules(host::Aspect::kCrt, host::Scale::kFit);
  host::SetPresentation(host::Filter::kNearest, host::Renderer::kCpu, false);
}

}  // namespace

// A window of the mode's size shows the screen one for one, so the screen's
// pixels live in the window's own surface and a frame costs one copy. When the
// window changes they move back, intact, and in again when it fits once more.
class ModeSizedWindow : public test::DisplayTest {
 protected:
  void SetUp() override {
    host::SetWindowed(true, 640, 480);
    test::DisplayTest::SetUp();
  }
  void TearDown() override {
    test::DisplayTest::TearDown();
    host::SetWindowed(false);
  }
  static void* ScreenBytes() {
    if (primary.lock() != 0) return nullptr;
    void* bytes = primary.desc.lpSurface;
    primary.unlock();
    return bytes;
  }
  // The screen surface's pixel, read through a lock (whose end presents it).
  static DWORD ScreenPixel(int x, int y) {
    DWORD v = 0;
    if (primary.lock() != 0) return 0xDEAD;
    std::memcpy(&v, static_cast<uint8_t*>(primary.desc.lpSurface) + size_t(y) * primary.desc.lPitch + size_t(x) * 4, 4);
    primary.unlock();
    return v & 0xFFFFFF;
  }
};

TEST_F(ModeSizedWindow, TheScreenLivesInTheWindowUntilTheWindowChanges) {
  // 640 x 480 is 4:3 already: the aspect rule shows it one for one.
  OpenDisplay(640, 480, 32);
  SDL_Window* window = host::SdlWindow(winapi::detail::HostWindowOf(hWnd));
  bitmap frame;
  ASSERT_EQ(frame.create(640, 480), 1);
  test::FillPattern(frame, 5);
  ASSERT_EQ(frame.blit(primary, nullptr, nullptr), 1);
  SDL_Surface* screen = SDL_GetWindowSurface(window);
  ASSERT_NE(screen, nullptr);
  ASSERT_EQ(screen->w, 640);
  EXPECT_EQ(ScreenBytes(), screen->pixels);
  const Shown shown_one_for_one(frame);
  for (int y = 0; y < 480; y += 13)
    for (int x = 0; x < 640; x += 7) ASSERT_EQ(shown_one_for_one(x, y), test::PixelAt(frame, x, y)) << x << "," << y;

  // The player resizes the window: SDL drops its surface; the pixels come home.
  SDL_SetWindowSize(window, 1280, 960);
  host::PumpEvents();
  void* own = ScreenBytes();  // the unlock presents, scaled, into the new surface
  EXPECT_NE(own, nullptr);
  EXPECT_NE(own, SDL_GetWindowSurface(window)->pixels);
  for (int y = 0; y < 480; y += 11)
    for (int x = 0; x < 640; x += 9) ASSERT_EQ(ScreenPixel(x, y), test::PixelAt(frame, x, y)) << x << "," << y;

  // Back to the mode's size: the next frame moves them in again.
  SDL_SetWindowSize(window, 640, 480);
  host::PumpEvents();
  test::FillPattern(frame, 9);
  ASSERT_EQ(frame.blit(primary, nullptr, nullptr), 1);
  EXPECT_EQ(ScreenBytes(), SDL_GetWindowSurface(window)->pixels);
  EXPECT_EQ(ScreenPixel(100, 50), test::PixelAt(frame, 100, 50));
}

TEST_F(ModeSizedWindow, APictureTheAspectRuleNarrowsStaysOutAndKeepsItsShape) {
  // 320 x 200 in a window of that size is shown at 4:3: 267 wide, black beside it.
  OpenDisplay(320, 200, 32);
  SDL_Window* window = host::SdlWindow(winapi::detail::HostWindowOf(hWnd));
  SDL_SetWindowSize(window, 320, 200);
  host::PumpEvents();
  bitmap frame;
  ASSERT_EQ(frame.create(320, 200), 1);
  frame.clear(0xFFFFFF);
  ASSERT_EQ(frame.blit(primary, nullptr, nullptr), 1);
  SDL_Surface* screen = SDL_GetWindowSurface(window);
  ASSERT_NE(screen, nullptr);
  ASSERT_EQ(screen->w, 320);
  EXPECT_NE(ScreenBytes(), screen->pixels);
  const auto* shown = static_cast<const uint32_t*>(screen->pixels);
  EXPECT_EQ(shown[100 * screen->pitch / 4 + 2] & 0xFFFFFF, 0u);
  EXPECT_EQ(shown[100 * screen->pitch / 4 + 317] & 0xFFFFFF, 0u);
  EXPECT_EQ(shown[100 * screen->pitch / 4 + 160] & 0xFFFFFF, 0xFFFFFFu);
  // The same picture with square pixels fills the window, so it moves in.
  host::SetPictureRules(host::Aspect::kSquare, host::Scale::kFit);
  ASSERT_EQ(frame.blit(primary, nullptr, nullptr), 1);
  EXPECT_EQ(ScreenBytes(), SDL_GetWindowSurface(window)->pixels);
  host::SetPictureRules(host::Aspect::kCrt, host::Scale::kFit);
}
