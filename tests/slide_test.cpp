#include "efx/slide.h"

#include "support.h"

namespace {

TEST(SlideTest, StripChangesOnThe801stTickAndFlipsDirection) {
  efx_slide s;
  const uint8_t first = s.downward;
  for (int i = 0; i < 800; ++i) s.update();
  EXPECT_EQ(s.column, 0);
  s.update();
  EXPECT_EQ(s.column, 1);
  EXPECT_EQ(s.tick_counter, 0);
  EXPECT_NE(s.downward, first);
  for (int i = 0; i < 801 * 9; ++i) s.update();
  EXPECT_EQ(s.column, 0);  // after strip 9 comes strip 0
}

class SlideDraw : public test::DisplayTest {
 protected:
  void SetUp() override {
    test::DisplayTest::SetUp();
    OpenDisplay();
    ASSERT_EQ(target.create(320, 200), 1);
    test::FillPattern(target);
    ASSERT_EQ(before.create(320, 200), 1);
    ASSERT_EQ(target.blit(before, nullptr, nullptr), 1);
  }
  bitmap target, before;
};

TEST_F(SlideDraw, DownwardStripReadsAllRowsBeforeWriting) {
  efx_slide s;
  s.downward = 1;
  s.column = 1;
  s.draw(target);
  for (int y = 0; y < 7; ++y) EXPECT_EQ(test::PixelAt(target, 64, y), test::PixelAt(before, 64, y));
  for (int y = 7; y < 199; ++y) ASSERT_EQ(test::PixelAt(target, 100, y), test::PixelAt(before, 100, y - 7)) << y;
  EXPECT_EQ(test::PixelAt(target, 100, 199), test::PixelAt(before, 100, 199));
  EXPECT_EQ(test::PixelAt(target, 63, 50), test::PixelAt(before, 63, 50));  // neighbour strip untouched
  EXPECT_EQ(test::PixelAt(target, 128, 50), test::PixelAt(before, 128, 50));
}

TEST_F(SlideDraw, UpwardStripMovesRowsUpSeven) {
  efx_slide s;
  s.downward = 0;
  s.draw(target);
  for (int y = 0; y < 192; ++y) ASSERT_EQ(test::PixelAt(target, 10, y), test::PixelAt(before, 10, y + 7)) << y;
  EXPECT_EQ(test::PixelAt(target, 10, 195), test::PixelAt(before, 10, 195));
}

TEST_F(SlideDraw, StripsPastTheRightEdgeAreClampedAway) {
  efx_slide s;
  for (int column = 5; column <= 9; ++column) {
    s.column = column;
    s.draw(target);
  }
  for (int y = 0; y < 200; y += 13)
    for (int x = 0; x < 320; x += 7) ASSERT_EQ(test::PixelAt(target, x, y), test::PixelAt(before, x, y));
  EXPECT_EQ(target.blit_error, 0);
}

}  // namespace
