// What the window shows: the mode's pixels scaled to the window with the aspect
// ratio kept, black around.
#include <SDL.h>

#include <cstring>

#include "platform/internal.h"
#include "support.h"

namespace {

using Presentation = test::DisplayTest;

// A pattern frame of the mode's size copied to the screen, and the window's
// pixel at (x, y) as 0x00RRGGBB.
class Shown {
 public:
  explicit Shown(bitmap& frame) {
    test::FillPattern(frame);
    EXPECT_EQ(frame.blit(primary, nullptr, nullptr), 1);
    screen_ = SDL_GetWindowSurface(platform::detail::SdlWindowOf(hWnd));
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
  platform::SetPictureRules(platform::Aspect::kSquare, platform::Scale::kFit);
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
  platform::SetPictureRules(platform::Aspect::kCrt, platform::Scale::kFit);
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
    platform::SetWindowed(true);  // before the window is made
    test::DisplayTest::SetUp();
  }
  void TearDown() override {
    test::DisplayTest::TearDown();
    platform::SetWindowed(false);
  }
};

TEST_F(WindowedPresentation, AWindowWithoutASizeTakesWholeMultiplesOfThePicture) {
  OpenDisplay(320, 200, 32);
  int w = 0, h = 0;
  SDL_GetWindowSize(platform::detail::SdlWindowOf(hWnd), &w, &h);
  // On the offscreen driver's 1024 x 768 desktop: 90 % is 921 x 691.
  EXPECT_EQ(w % 320, 0) << w;
  EXPECT_EQ(h % 200, 0) << h;
  EXPECT_LE(w, 921);
  EXPECT_LE(h, 691);
  EXPECT_GE(w, 640);
}

TEST_F(Presentation, SixteenBitModesShowTheirColours) {
  OpenDisplay(64, 40, 16);
  bitmap frame;
  ASSERT_EQ(frame.create(64, 40), 1);
  frame.clear(0xF800);  // red in RGB565
  ASSERT_EQ(frame.blit(primary, nullptr, nullptr), 1);
  SDL_Surface* screen = SDL_GetWindowSurface(platform::detail::SdlWindowOf(hWnd));
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
