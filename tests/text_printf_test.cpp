#include "gfx/gdi_helpers.h"
#include "support.h"
#include "winapi/system_font.h"

namespace {

class TextPrintf : public test::DisplayTest {
 protected:
  void SetUp() override {
    test::DisplayTest::SetUp();
    OpenDisplay();
  }
};

TEST_F(TextPrintf, EmptyBitmapFailsAndDrawsNothing) {
  bitmap empty;
  EXPECT_EQ(text_printf(empty, 0, 0, 0xFFFFFF, 0, "x"), E_FAIL);
}

TEST_F(TextPrintf, SameTextAndBackgroundColourGivesASolidBlock) {
  bitmap b;
  ASSERT_EQ(b.create(64, 32), 1);
  EXPECT_EQ(text_printf(b, 4, 2, RGB(0, 0, 255), RGB(0, 0, 255), "%s%d", "ab", 7), 0);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 64; ++x) {
      bool inside = x >= 4 && x < 4 + 3 * 8 && y >= 2 && y < 2 + 16;
      // A GDI colour reference has red lowest; the 32-bit pixel has blue lowest.
      EXPECT_EQ(test::PixelAt(b, x, y), inside ? 0x0000FFu : 0u) << x << "," << y;
    }
}

TEST_F(TextPrintf, GlyphsShowInTheTextColourOnOpaqueCells) {
  bitmap b;
  ASSERT_EQ(b.create(16, 16), 1);
  b.clear(0x00FF00);
  EXPECT_EQ(text_printf(b, 0, 0, RGB(255, 0, 0), RGB(0, 0, 0), "H"), 0);
  const int cell = kSystemFont['H'].advance;  // the font is proportional
  ASSERT_GT(cell, 4);
  int fore = 0, back = 0, other = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < cell; ++x) {
      DWORD v = test::PixelAt(b, x, y);
      v == 0xFF0000u ? ++fore : v == 0 ? ++back : ++other;
    }
  EXPECT_GT(fore, 15);         // the stems and the bar of the H
  EXPECT_GT(back, cell * 10);  // the cell around it
  EXPECT_EQ(other, 0);
  EXPECT_EQ(test::PixelAt(b, cell, 0), 0x00FF00u);  // outside the cell untouched
}

TEST_F(TextPrintf, LatinOneCharactersHaveGlyphs) {
  bitmap b;
  ASSERT_EQ(b.create(8, 16), 1);
  text_printf(b, 0, 0, RGB(255, 255, 255), 0, "\xE4");  // a with diaeresis
  int lit = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 8; ++x) lit += test::PixelAt(b, x, y) != 0;
  EXPECT_GT(lit, 10);
}

TEST_F(TextPrintf, TextIsClippedAtTheEdges) {
  bitmap b;
  ASSERT_EQ(b.create(10, 10), 1);
  EXPECT_EQ(text_printf(b, -4, -8, RGB(255, 255, 255), RGB(255, 255, 255), "WWWW"), 0);
  EXPECT_EQ(text_printf(b, 6, 6, RGB(255, 255, 255), RGB(255, 255, 255), "WWWW"), 0);
  EXPECT_EQ(test::PixelAt(b, 0, 0), 0xFFFFFFu);
  EXPECT_EQ(test::PixelAt(b, 9, 9), 0xFFFFFFu);
}

class TextPrintf16 : public test::DisplayTest {};

TEST_F(TextPrintf16, ColoursAreConvertedToTheSurfaceFormat) {
  OpenDisplay(320, 200, 16);
  bitmap b;
  ASSERT_EQ(b.create(8, 16), 1);
  text_printf(b, 0, 0, RGB(255, 0, 0), RGB(255, 0, 0), " ");
  EXPECT_EQ(test::PixelAt(b, 3, 3), 0xF800u);
}

}  // namespace
