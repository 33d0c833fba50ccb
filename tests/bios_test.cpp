#include "efx/bios.h"

#include <fstream>

#include "support.h"
#include "winapi/testing.h"

namespace {

TEST(BiosMemoryTest, CountsUpBy266UntilTheLimitThenHoldsIt) {
  efx_bios b;
  b.init();
  for (int i = 1; i <= 7884; ++i) b.update();
  EXPECT_EQ(b.memory, 2097144u);
  b.update();
  EXPECT_EQ(b.memory, 2097410u);  // one step past the limit, as the test reads it
  for (int i = 7886; i < 8000; ++i) b.update();
  EXPECT_EQ(b.memory, 2097410u);
  b.update();  // update 8000
  EXPECT_EQ(b.memory, 2097152u);
}

// Runs updates until the count is `n`, then draws once onto `onto`.
void DrawAfter(efx_bios& b, int n, bitmap& onto) {
  while (b.update_count < n) b.update();
  b.draw(onto);
}

class BiosScreen : public test::DisplayTest {
 protected:
  void SetUp() override {
    test::DisplayTest::SetUp();
    OpenDisplay(640, 480, 32);
    ASSERT_EQ(target.create(640, 480), 1);
  }
  void DrawAt(efx_bios& b, int n) { DrawAfter(b, n, target); }
  bool AnyLit(int x0, int y0, int x1, int y1) {
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        if (test::PixelAt(target, x, y)) return true;
    return false;
  }
  bitmap target;
};

TEST_F(BiosScreen, PhasesChangeAtTheirUpdateCounts) {
  efx_bios b;
  b.init();
  const std::pair<int, int> borders[] = {{8499, 0},  {8500, 1},  {9999, 1},  {10000, 2},
                                         {12999, 2}, {13000, 3}, {13099, 3}, {13100, 4}};
  for (auto [count, phase] : borders) {
    DrawAt(b, count);
    EXPECT_EQ(b.phase, phase) << count;
  }
  EXPECT_EQ(b.cpu_clock, 700);
}

TEST_F(BiosScreen, PhaseThreeBlanksEveryFrame) {
  efx_bios b;
  b.init();
  DrawAt(b, 100);
  ASSERT_TRUE(AnyLit(0, 136, 200, 153));
  DrawAt(b, 13000);
  EXPECT_FALSE(AnyLit(0, 0, 640, 480));
  target.clear(0xFFFFFF);
  DrawAt(b, 13050);
  EXPECT_FALSE(AnyLit(0, 0, 640, 480));
}

TEST_F(BiosScreen, HeaderStartsOnePixelRightOfTheSmallLogo) {
  test::TempDir dir;  // no logos here
  efx_bios b;
  b.init();
  DrawAt(b, 1);
  EXPECT_FALSE(AnyLit(0, 85, 1, 101));  // x = 1 with no logo: column 0 stays dark
  EXPECT_TRUE(AnyLit(1, 85, 9, 101));
}

TEST_F(BiosScreen, LogosSitAtTheLeftAndAgainstTheRightEdge) {
  test::TempDir dir;
  std::filesystem::create_directory("data");
  // A 6 x 40 small logo in red and a 10 x 50 large one in blue.
  test::WriteBmp("data/bios_pieni.bmp", 6, 40, [](int, int) { return 0xFF0000u; });
  test::WriteBmp("data/bios_iso.bmp", 10, 50, [](int, int) { return 0x0000FFu; });
  efx_bios b;
  b.init();
  DrawAt(b, 1);
  EXPECT_EQ(test::PixelAt(target, 0, 120), 0xFF0000u);
  EXPECT_EQ(test::PixelAt(target, 639, 120), 0x0000FFu);
  EXPECT_EQ(test::PixelAt(target, 630, 120), 0x0000FFu);
  EXPECT_EQ(test::PixelAt(target, 629, 120), 0u);
  EXPECT_FALSE(AnyLit(6, 85, 7, 119));  // the header starts at 6 + 1
  EXPECT_TRUE(AnyLit(7, 85, 15, 101));
}

TEST_F(BiosScreen, PhaseFourColumnsFollowTheWidth) {
  efx_bios b;
  b.init();
  DrawAt(b, 13100);
  // The ": Installed" column starts at W / 4 + 5 = 165, the labels at W / 2 + 5 =
  // 325, the values at W - W / 4 + 5 = 485: each cell starts with a lit colon
  // or letter right there, and the column before is dark on that row.
  EXPECT_TRUE(AnyLit(165, 51, 173, 67));
  EXPECT_FALSE(AnyLit(160, 51, 165, 67));
  EXPECT_TRUE(AnyLit(325, 51, 333, 67));
  EXPECT_TRUE(AnyLit(485, 51, 493, 67));
  EXPECT_FALSE(AnyLit(480, 51, 485, 67));
  EXPECT_EQ(test::PixelAt(target, 0, 100), 0x8C8C8Cu);  // the double frame's outer line
}

class BiosScreen16 : public test::DisplayTest {};

TEST_F(BiosScreen16, TheFrameLinesAreGreyInA16BitMode) {
  OpenDisplay(640, 480, 16);
  bitmap target;
  ASSERT_EQ(target.create(640, 480), 1);
  efx_bios b;
  b.init();
  DrawAfter(b, 13100, target);
  // 0x8C8C8C in 5-6-5: red 17, green 35, blue 17 (not the low half of 0x8C8C8C).
  EXPECT_EQ(test::PixelAt(target, 0, 100), DWORD(17 << 11 | 35 << 5 | 17));
}

TEST_F(BiosScreen, PhaseFourColumnsAtTheDefaultWidth) {
  bitmap small;
  ASSERT_EQ(small.create(320, 200), 1);
  efx_bios b;
  b.init();
  DrawAfter(b, 13100, small);
  auto lit = [&](int x0, int x1, int y) {
    for (int yy = y; yy < y + 16; ++yy)
      for (int x = x0; x < x1; ++x)
        if (test::PixelAt(small, x, yy)) return true;
    return false;
  };
  // At this width the columns overlap; each later cell is drawn over the earlier
  // text with its own background, so a colon cell shows where its column starts:
  // one dark pixel column, then the colon's dots.
  EXPECT_FALSE(lit(85, 86, 119));  // ": None" at W / 4 + 5
  EXPECT_TRUE(lit(86, 87, 119));
  EXPECT_TRUE(lit(77, 85, 119));    // the label beneath reaches up to it
  EXPECT_FALSE(lit(245, 246, 51));  // ": 640K" at W - W / 4 + 5
  EXPECT_TRUE(lit(246, 247, 51));
}

// At 640 x 480 the power-on screens' texts stand apart: left of every text the
// pixel column is dark along the text's 16 rows, so no text runs into the next.
TEST_F(BiosScreen, AtTwiceTheWidthNoTwoTextsTouch) {
  struct Text {
    int x, y, width;
  };
  for (int n : {9000, 20000}) {
    efx_bios b;
    b.init();
    std::vector<Text> texts;
    winapi::testing::ObserveTextOut([&](int x, int y, int width) { texts.push_back({x, y, width}); });
    DrawAt(b, n);
    winapi::testing::ObserveTextOut(nullptr);
    ASSERT_GT(texts.size(), 5u) << n;
    int between = 0;
    for (const Text& t : texts) {
      if (t.x <= 0 || t.width == 0) continue;
      // Only a text with another one left of it on its rows can be touched.
      const bool neighbour = std::any_of(
          texts.begin(), texts.end(), [&](const Text& o) { return &o != &t && std::abs(o.y - t.y) < 16 && o.x < t.x; });
      if (!neighbour) continue;
      ++between;
      EXPECT_FALSE(AnyLit(t.x - 1, t.y, t.x, t.y + 16)) << "at " << n << ": the text at " << t.x << ", " << t.y;
    }
    if (n == 20000) {
      EXPECT_GT(between, 20) << texts.size();  // the table's columns
    }
  }
}

}  // namespace
