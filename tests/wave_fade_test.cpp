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

TEST_F(WaveFade, FadeFastPathEqualsThePerPixelReference) {
  bitmap fast, reference;
  ASSERT_EQ(fast.create(37, 23), 1);
  ASSERT_EQ(reference.create(37, 23), 1);
  test::FillPattern(fast, 0x5A000000);
  test::FillPattern(reference, 0x5A000000);
  efx_fade().run(fast);
  reference.lock();
  for (int x = 0; x < 37; ++x)
    for (int y = 0; y < 23; ++y) {
      DWORD p = 0;
      reference.get_pixel(x, y, &p);
      int r = std::max(0, int(p >> 16 & 255) - 20), g = std::max(0, int(p >> 8 & 255) - 20),
          bl = std::max(0, int(p & 255) - 20);
      reference.put_pixel(x, y, DWORD(r) << 16 | DWORD(g) << 8 | DWORD(bl));
    }
  reference.unlock();
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) ASSERT_EQ(test::PixelAt(fast, x, y), test::PixelAt(reference, x, y));
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
