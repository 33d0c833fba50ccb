#include <random>

#include "support.h"
#include "winapi/testing.h"

namespace {

class BlitTest : public test::DisplayTest {
 protected:
  void SetUp() override {
    test::DisplayTest::SetUp();
    OpenDisplay();
  }
};

TEST_F(BlitTest, WholeToWholeOfEqualSizeCopiesOneToOne) {
  bitmap src, dst;
  ASSERT_EQ(src.create(6, 4), 1);
  ASSERT_EQ(dst.create(6, 4), 1);
  test::FillPattern(src);
  EXPECT_EQ(src.blit(dst, nullptr, nullptr), 1);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(test::PixelAt(dst, x, y), test::PixelAt(src, x, y));
}

TEST_F(BlitTest, WholeToWholeOfOtherSizeStretches) {
  bitmap src, dst;
  ASSERT_EQ(src.create(2, 2), 1);
  ASSERT_EQ(dst.create(4, 6), 1);
  test::FillPattern(src);
  EXPECT_EQ(src.blit(dst, nullptr, nullptr), 1);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(test::PixelAt(dst, x, y), test::PixelAt(src, x / 2, y / 3));
}

TEST_F(BlitTest, BlitRefreshesTheSourceSize) {
  bitmap dst;
  ASSERT_EQ(dst.create(4, 4), 1);
  ASSERT_EQ(dst.blit(primary, nullptr, nullptr), 1);
  ASSERT_EQ(primary.blit(dst, nullptr, nullptr), 1);
  EXPECT_EQ(primary.width, 320);
  EXPECT_EQ(primary.height, 200);
}

TEST_F(BlitTest, DestinationHangingOffTheLeftCutsTheSourcesLeftHalf) {
  bitmap src, dst;
  ASSERT_EQ(src.create(8, 2), 1);
  ASSERT_EQ(dst.create(8, 2), 1);
  test::FillPattern(src);
  RECT d{-4, 0, 4, 2};
  EXPECT_EQ(src.blit(dst, nullptr, &d), 1);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(test::PixelAt(dst, x, 1), test::PixelAt(src, x + 4, 1));
  EXPECT_EQ(test::PixelAt(dst, 4, 1), 0u);
}

TEST_F(BlitTest, DestinationEntirelyOffTheSurfaceCopiesNothing) {
  bitmap src, dst;
  ASSERT_EQ(src.create(4, 4), 1);
  ASSERT_EQ(dst.create(4, 4), 1);
  test::FillPattern(src);
  RECT right{10, 0, 14, 4}, left{-10, 0, -6, 4}, below{0, 9, 4, 13};
  EXPECT_EQ(src.blit(dst, nullptr, &right), 1);
  EXPECT_EQ(src.blit(dst, nullptr, &left), 1);
  EXPECT_EQ(src.blit(dst, nullptr, &below), 1);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(test::PixelAt(dst, x, y), 0u);
  EXPECT_EQ(src.blit_error, 0);
}

TEST_F(BlitTest, ScaledRectanglesThatClipToNothingCopyNothingAndKeepWorking) {
  // Rectangles wholly right of or below the target, or a source wholly outside
  // the picture, at scales where float rounding leaves the other rectangle a
  // pixel wide.
  bitmap src, dst;
  ASSERT_EQ(src.create(7, 5), 1);
  ASSERT_EQ(dst.create(9, 6), 1);
  test::FillPattern(src);
  std::mt19937 random(11);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
  for (int i = 0; i < 20000; ++i) {
    RECT s{pick(0, 6), pick(0, 4), 0, 0}, d{0, 0, 0, 0};
    s.right = s.left + pick(1, 7), s.bottom = s.top + pick(1, 5);
    if (i % 3 == 0) {
      d = RECT{pick(9, 40), pick(0, 5), 0, 0};  // right of the target
    } else if (i % 3 == 1) {
      d = RECT{pick(0, 8), pick(6, 40), 0, 0};  // below it
    } else {
      s = RECT{pick(7, 30), pick(0, 4), 0, 0};  // right of the picture
      s.right = s.left + pick(1, 7), s.bottom = s.top + pick(1, 5);
      d = RECT{pick(0, 8), pick(0, 5), 0, 0};
    }
    d.right = d.left + pick(1, 60), d.bottom = d.top + pick(1, 60);
    // The whole picture as the source, or a part of it.
    ASSERT_EQ(src.blit(dst, i % 2 ? &s : nullptr, &d), 1)
        << i << ": " << s.left << "," << s.top << "," << s.right << "," << s.bottom << " onto " << d.left << ","
        << d.top << "," << d.right << "," << d.bottom;
    ASSERT_EQ(src.blit_error, 0) << i;
  }
  EXPECT_EQ(src.blit(dst, nullptr, nullptr), 1);
  EXPECT_EQ(test::PixelAt(dst, 0, 0), test::PixelAt(src, 0, 0));
}

TEST_F(BlitTest, RectanglesGivenBackToFrontAreUsedInOrderedForm) {
  bitmap src, a, b;
  ASSERT_EQ(src.create(6, 6), 1);
  ASSERT_EQ(a.create(6, 6), 1);
  ASSERT_EQ(b.create(6, 6), 1);
  test::FillPattern(src);
  RECT s{1, 1, 4, 5}, reversed{4, 5, 1, 1}, d{0, 0, 3, 4};
  EXPECT_EQ(src.blit(a, &s, &d), 1);
  EXPECT_EQ(src.blit(b, &reversed, &d), 1);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(test::PixelAt(a, x, y), test::PixelAt(b, x, y));
  EXPECT_EQ(test::PixelAt(a, 0, 0), test::PixelAt(src, 1, 1));  // not mirrored
}

TEST_F(BlitTest, SourceRectanglePastTheSourceShrinksTheDestination) {
  bitmap src, dst;
  ASSERT_EQ(src.create(4, 4), 1);
  ASSERT_EQ(dst.create(8, 8), 1);
  test::FillPattern(src);
  RECT s{2, 0, 6, 4}, d{0, 0, 4, 4};  // columns 4 and 5 do not exist
  EXPECT_EQ(src.blit(dst, &s, &d), 1);
  EXPECT_EQ(test::PixelAt(dst, 0, 0), test::PixelAt(src, 2, 0));
  EXPECT_EQ(test::PixelAt(dst, 1, 3), test::PixelAt(src, 3, 3));
  EXPECT_EQ(test::PixelAt(dst, 2, 0), 0u);
}

TEST_F(BlitTest, SourceColourKeyLeavesThoseDestinationPixelsAlone) {
  bitmap src, dst;
  ASSERT_EQ(src.create(3, 1), 1);
  ASSERT_EQ(dst.create(3, 1), 1);
  ASSERT_EQ(dst.clear(0x112233), 1);
  ASSERT_EQ(src.lock(), 0);
  src.put_pixel(0, 0, 0xFF00FF);
  src.put_pixel(1, 0, 0x00FF00);
  src.put_pixel(2, 0, 0xFF00FF);
  src.unlock();
  src.set_colorkey(0xFF00FF);
  src.use_colorkey = 1;
  EXPECT_EQ(src.blit(dst, nullptr, nullptr), 1);
  EXPECT_EQ(test::PixelAt(dst, 0, 0), 0x112233u);
  EXPECT_EQ(test::PixelAt(dst, 1, 0), 0x00FF00u);
  EXPECT_EQ(test::PixelAt(dst, 2, 0), 0x112233u);
  src.use_colorkey = 0;  // the key is set but not in use: a plain copy
  EXPECT_EQ(src.blit(dst, nullptr, nullptr), 1);
  EXPECT_EQ(test::PixelAt(dst, 0, 0), 0xFF00FFu);
}

TEST_F(BlitTest, WholeRowsLandOnTheirRowsAndNothingElseMoves) {
  bitmap src, dst;
  ASSERT_EQ(src.create(5, 6), 1);
  ASSERT_EQ(dst.create(5, 9), 1);
  test::FillPattern(src);
  dst.clear(0x0000AA);
  RECT s{0, 1, 5, 4}, d{0, 5, 5, 8};
  EXPECT_EQ(src.blit(dst, &s, &d), 1);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(test::PixelAt(dst, x, y), y >= 5 && y < 8 ? test::PixelAt(src, x, y - 4) : 0x0000AAu) << x << "," << y;
}

// Fills in every depth: rows that differ anywhere are written, rows that hold the
// colour already stay, and a rectangle stays inside itself.
class FillTest : public test::DisplayTest, public ::testing::WithParamInterface<DWORD> {
 protected:
  void SetUp() override {
    test::DisplayTest::SetUp();
    OpenDisplay(320, 200, GetParam());
  }
};

TEST_P(FillTest, AFillWritesEveryPixelThatDiffersWhereverItIs) {
  bitmap b;
  ASSERT_EQ(b.create(40, 6), 1);
  b.clear(0x3333);
  ASSERT_EQ(b.lock(), 0);
  b.put_pixel(0, 1, 7);   // the first pixel of a row
  b.put_pixel(39, 2, 7);  // the last
  b.put_pixel(17, 3, 7);  // one in the middle
  for (int x = 0; x < 40; ++x) b.put_pixel(x, 4, DWORD(x));
  b.unlock();
  b.clear(0x3333);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(test::PixelAt(b, x, y), 0x3333u) << x << "," << y;
  RECT part{3, 2, 9, 4};
  DDBLTFX fx{};
  fx.dwSize = sizeof fx;
  fx.dwFillColor = 0x0F0F;
  ASSERT_EQ(b.surface->Blt(&part, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 40; ++x)
      EXPECT_EQ(test::PixelAt(b, x, y), x >= 3 && x < 9 && y >= 2 && y < 4 ? 0x0F0Fu : 0x3333u) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Depths, FillTest, ::testing::Values(16u, 24u, 32u));

TEST_F(BlitTest, OverlappingCopyWithinOneBitmapReadsBeforeWriting) {
  bitmap b;
  ASSERT_EQ(b.create(2, 20), 1);
  ASSERT_EQ(b.lock(), 0);
  for (int y = 0; y < 20; ++y) b.put_pixel(0, y, static_cast<DWORD>(y + 1));
  b.unlock();
  RECT s{0, 0, 2, 12}, d{0, 7, 2, 19};  // seven rows down, as the column slide does
  EXPECT_EQ(b.blit(b, &s, &d), 1);
  for (int y = 0; y < 7; ++y) EXPECT_EQ(test::PixelAt(b, 0, y), static_cast<DWORD>(y + 1));
  for (int y = 7; y < 19; ++y) EXPECT_EQ(test::PixelAt(b, 0, y), static_cast<DWORD>(y - 7 + 1));
}

TEST_F(BlitTest, UnexpectedFailureIsStickyAndLoggedOnce) {
  bitmap src, dst;
  ASSERT_EQ(src.create(4, 4), 1);
  ASSERT_EQ(dst.create(4, 4), 1);
  test::FillPattern(src);
  winapi::testing::FailNextBlt(DDERR_INVALIDRECT);
  EXPECT_EQ(src.blit(dst, nullptr, nullptr), 0);
  EXPECT_EQ(src.blit_error, 1);
  EXPECT_EQ(src.blit(dst, nullptr, nullptr), 0);  // valid now, but never reaches the platform
  EXPECT_EQ(test::PixelAt(dst, 1, 1), 0u);
}

TEST_F(BlitTest, BusyBlitterDropsTheCopyWithoutError) {
  bitmap src, dst;
  ASSERT_EQ(src.create(4, 4), 1);
  ASSERT_EQ(dst.create(4, 4), 1);
  winapi::testing::FailNextBlt(DDERR_WASSTILLDRAWING);
  EXPECT_EQ(src.blit(dst, nullptr, nullptr), 1);
  EXPECT_EQ(src.blit_error, 0);
}

TEST_F(BlitTest, LockedSourceIsAnUnexpectedFailure) {
  bitmap src, dst;
  ASSERT_EQ(src.create(4, 4), 1);
  ASSERT_EQ(dst.create(4, 4), 1);
  ASSERT_EQ(src.lock(), 0);
  EXPECT_EQ(src.blit(dst, nullptr, nullptr), 0);
  EXPECT_EQ(g_hr, DDERR_SURFACEBUSY);
  src.unlock();
  EXPECT_EQ(src.blit(dst, nullptr, nullptr), 0);
}

TEST_F(BlitTest, LostSurfacesAreRestoredAndTheCopyDropped) {
  bitmap src, dst;
  ASSERT_EQ(src.create(4, 4), 1);
  ASSERT_EQ(dst.create(4, 4), 1);
  test::FillPattern(src);
  const DWORD src_pixel = test::PixelAt(src, 2, 2), dst_pixel = test::PixelAt(dst, 2, 2);
  winapi::testing::SimulateMinimise(hWnd);
  g_bDisplayReady = 0;
  EXPECT_EQ(src.blit(dst, nullptr, nullptr), 1);
  EXPECT_EQ(g_bDisplayReady, 1);  // DxRestore ran first
  EXPECT_EQ(src.blit_error, 0);
  EXPECT_EQ(test::PixelAt(src, 2, 2), src_pixel);  // restored with its picture
  // The destination is still lost: its copy is dropped too, and its own restore
  // happens when it is locked (or a copy from it reports the loss).
  EXPECT_EQ(src.blit(dst, nullptr, nullptr), 1);
  ASSERT_EQ(dst.lock(), 0);
  DWORD pixel = 0;
  dst.get_pixel(2, 2, &pixel);
  dst.unlock();
  EXPECT_EQ(pixel, dst_pixel);
  test::FillPattern(src, 99);
  EXPECT_EQ(src.blit(dst, nullptr, nullptr), 1);
  EXPECT_EQ(test::PixelAt(dst, 2, 2), test::PixelAt(src, 2, 2));
}

TEST_F(BlitTest, FlipCopiesToTheScreensTopLeftCorner) {
  bitmap b;
  ASSERT_EQ(b.create(4, 3), 1);
  b.clear(0xABCDEF);
  b.x = 5;
  EXPECT_EQ(b.flip(), 1);
  EXPECT_EQ(b.x, 0);
  ASSERT_EQ(primary.blit(b, nullptr, nullptr), 1);  // refreshes primary's size
  EXPECT_EQ(test::PixelAt(primary, 3, 2), 0xABCDEFu);
  EXPECT_EQ(test::PixelAt(primary, 4, 2), 0u);
}

TEST_F(BlitTest, ZeroSizedRectangleHasNothingToCopy) {
  bitmap src, dst;
  ASSERT_EQ(src.create(4, 4), 1);
  ASSERT_EQ(dst.create(4, 4), 1);
  RECT empty{1, 1, 1, 3};
  EXPECT_EQ(src.blit(dst, &empty, nullptr), 1);
  EXPECT_EQ(src.blit(dst, nullptr, &empty), 1);
  EXPECT_EQ(src.blit_error, 0);
}

}  // namespace
