#include "efx/fade.h"
#include "efx/trig_tables.h"
#include "efx/wave.h"
#include "support.h"

namespace {

class WaveFade : public test::DisplayTest {
 protected:
  void SetUp() override {
    test::DisplayTest::SetUp();
    OpenDisplay();
    InitTables();
  }
};

TEST_F(WaveFade, FadeLowersEachChannelBy20NotBelowZero) {
  bitmap b;
  ASSERT_EQ(b.create(3, 2), 1);
  ASSERT_EQ(b.lock(), 0);
  b.put_pixel(0, 0, 0x0FFF14);
  b.put_pixel(2, 1, 0xAB0F15FF);
  b.unlock();
  efx_fade().run(b);
  EXPECT_EQ(test::PixelAt(b, 0, 0), 0x00EB00u);    // 15 -> 0, 255 -> 235, 20 -> 0
  EXPECT_EQ(test::PixelAt(b, 2, 1), 0x000001EBu);  // the top byte is dropped
}

class Fade16 : public test::DisplayTest {};

TEST_F(Fade16, LowersTheChannels) {
  OpenDisplay(320, 200, 16);
  InitTables();
  bitmap b;
  ASSERT_EQ(b.create(2, 1), 1);
  ASSERT_EQ(b.lock(), 0);
  b.put_pixel(0, 0, 16 << 11 | 32 << 5 | 16);  // 0x848284 widened
  b.put_pixel(1, 0, 1 << 11 | 63 << 5 | 2);    // red and blue below 20
  b.unlock();
  efx_fade().run(b);
  EXPECT_EQ(test::PixelAt(b, 0, 0), DWORD(14 << 11 | 27 << 5 | 14));  // 0x706E70 packed
  EXPECT_EQ(test::PixelAt(b, 1, 0), DWORD(0 << 11 | 58 << 5 | 0));    // 0x00EB00 packed
}

// Every channel of every pixel of an odd-sized pattern, pinned: the fast path's
// rows and their ends (37 is no multiple of any vector width).
TEST_F(WaveFade, FadeOfAWholePatternIsPinned) {
  bitmap b;
  ASSERT_EQ(b.create(37, 23), 1);
  test::FillPattern(b, 0x5A000000);
  efx_fade().run(b);
  uint64_t h = 0xcbf29ce484222325ull;
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) h = (h ^ test::PixelAt(b, x, y)) * 0x100000001b3ull;
  EXPECT_EQ(h, 0x33be2d070c88d555ull);
}

TEST_F(WaveFade, WaveDisplacesTheCornerByTenToTheRight) {
  test::TempDir dir;
  bitmap source;
  ASSERT_EQ(source.create(16, 4), 1);
  test::FillPattern(source);
  std::filesystem::copy_file(test::FixturePath("pictures/info24.bmp"), "w.bmp");
  efx_wave w;
  ASSERT_TRUE(w.load("w.bmp"));
  w.set_centre(0, 0);
  w.set_divisor(1);
  bitmap target;
  ASSERT_EQ(target.create(13, 7), 1);
  w.run(target);
  // Distance 0 gives k = 0: COS[0] = 1, SIN[0] = 0, so (0, 0) shows the picture's (10, 0).
  EXPECT_EQ(test::PixelAt(target, 0, 0), test::PixelAt(*w.buffer, 10, 0));
}

TEST_F(WaveFade, WaveWithoutADivisorDrawsNothingAndASecondLoadReplaces) {
  test::TempDir dir;
  std::filesystem::copy_file(test::FixturePath("pictures/info24.bmp"), "a.bmp");
  std::filesystem::copy_file(test::FixturePath("pictures/pal1.bmp"), "b.bmp");
  efx_wave w;
  ASSERT_TRUE(w.load("a.bmp"));
  ASSERT_TRUE(w.load("b.bmp"));
  EXPECT_STREQ(w.buffer->name, "b.bmp");
  bitmap target;
  ASSERT_EQ(target.create(13, 7), 1);
  target.clear(0x424242);
  w.run(target);  // divisor 0: refused
  EXPECT_EQ(test::PixelAt(target, 5, 5), 0x424242u);
  EXPECT_FALSE(w.load("missing.bmp"));
}

}  // namespace
