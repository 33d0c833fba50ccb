#include <vector>

#include "support.h"
#include "winapi/testing.h"

namespace {

class BitmapTest : public test::DisplayTest {
 protected:
  void SetUp() override {
    test::DisplayTest::SetUp();
    OpenDisplay();
  }
  // The pixels of a line drawn on a fresh 20 x 20 bitmap, as (x, y) pairs.
  std::vector<std::pair<int, int>> Drawn(int x1, int y1, int x2, int y2) {
    bitmap b;
    EXPECT_EQ(b.create(20, 20), 1);
    EXPECT_EQ(b.line(x1, y1, x2, y2, 0xFFFFFF), 0);
    std::vector<std::pair<int, int>> points;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x)
        if (test::PixelAt(b, x, y)) points.emplace_back(x, y);
    return points;
  }
};

TEST_F(BitmapTest, CreateOnAHeldSurfaceIsRefused) {
  bitmap b;
  ASSERT_EQ(b.create(8, 8), 1);
  IDirectDrawSurface7* s = b.surface;
  EXPECT_EQ(b.create(16, 16), 0);
  EXPECT_EQ(b.surface, s);
  EXPECT_EQ(b.width, 8);
}

TEST_F(BitmapTest, FreshSurfaceReadsZeroEverywhere) {
  bitmap b;
  ASSERT_EQ(b.create(7, 5), 1);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) EXPECT_EQ(test::PixelAt(b, x, y), 0u);
}

TEST_F(BitmapTest, FailedCreateLeavesEmptyWithTheRequestedSize) {
  bitmap b;
  EXPECT_EQ(b.create(0, 10), 0);
  EXPECT_FALSE(b.holds_surface());
  EXPECT_EQ(b.width, 0);
  EXPECT_EQ(b.height, 10);
  EXPECT_EQ(b.create(100000, 100000), 0);  // refused, not allocated
  EXPECT_EQ(g_hr, DDERR_OUTOFMEMORY);
}

TEST_F(BitmapTest, PixelAccessOutsideIsRefused) {
  bitmap b;
  ASSERT_EQ(b.create(4, 4), 1);
  ASSERT_EQ(b.lock(), 0);
  EXPECT_EQ(b.put_pixel(4, 0, 0xFFFFFF), E_FAIL);
  EXPECT_EQ(b.put_pixel(-1, 0, 0xFFFFFF), E_FAIL);
  EXPECT_EQ(b.put_pixel(0, 4, 0xFFFFFF), E_FAIL);
  DWORD v = 7;
  EXPECT_EQ(b.get_pixel(0, -1, &v), E_FAIL);
  EXPECT_EQ(v, 7u);
  EXPECT_EQ(b.put_pixel(3, 3, 0xABCDEF), 0);
  EXPECT_EQ(b.get_pixel(3, 3, &v), 0);
  EXPECT_EQ(v, 0xABCDEFu);
  b.unlock();
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      if (x != 3 || y != 3) {
        EXPECT_EQ(test::PixelAt(b, x, y), 0u);
      }
}

TEST_F(BitmapTest, NestedLocksShareTheAddressUntilTheOutermostUnlock) {
  bitmap b;
  ASSERT_EQ(b.create(4, 4), 1);
  ASSERT_EQ(b.lock(), 0);
  void* outer = b.desc.lpSurface;
  ASSERT_EQ(b.line(0, 1, 4, 1, 0x00FF00), 0);  // locks and unlocks inside
  EXPECT_EQ(b.desc.lpSurface, outer);
  EXPECT_EQ(b.put_pixel(0, 0, 0x0000FF), 0);
  EXPECT_EQ(b.unlock(), 0);
  EXPECT_NE(b.unlock(), 0);  // not locked any more
  EXPECT_EQ(test::PixelAt(b, 2, 1), 0x00FF00u);
  EXPECT_EQ(test::PixelAt(b, 0, 0), 0x0000FFu);
}

TEST_F(BitmapTest, FreeKeepsTheBlitErrorForGood) {
  bitmap a, b;
  ASSERT_EQ(a.create(4, 4), 1);
  ASSERT_EQ(b.create(4, 4), 1);
  winapi::testing::FailNextBlt(DDERR_INVALIDRECT);
  EXPECT_EQ(a.blit(b, nullptr, nullptr), 0);
  EXPECT_EQ(a.free(), 1);
  EXPECT_EQ(a.free(), 0);
  ASSERT_EQ(a.create(4, 4), 1);
  EXPECT_EQ(a.blit_error, 1);
  EXPECT_EQ(a.blit(b, nullptr, nullptr), 0);
}

TEST_F(BitmapTest, LineOfZeroLengthDrawsNothing) { EXPECT_TRUE(Drawn(0, 0, 0, 0).empty()); }

TEST_F(BitmapTest, HorizontalLineStopsBeforeItsEndPoint) {
  std::vector<std::pair<int, int>> expected;
  for (int x = 0; x < 10; ++x) expected.emplace_back(x, 5);
  EXPECT_EQ(Drawn(0, 5, 10, 5), expected);
}

TEST_F(BitmapTest, LineHangingOffTheLeftIsClampedAndChangesDirection) {
  // (-10, 0) clamps to (0, 0); dx becomes 10, dy stays 20: 20 steps toward (10, 20).
  std::vector<std::pair<int, int>> expected;
  for (int i = 0; i < 20; ++i) expected.emplace_back(i * 10 / 20, i);
  EXPECT_EQ(Drawn(-10, 0, 10, 20), expected);
}

TEST_F(BitmapTest, LineOntoTheClampedEdgeNeverWritesOutside) {
  bitmap b;
  ASSERT_EQ(b.create(20, 20), 1);
  EXPECT_EQ(b.line(5, 5, 5000, 5, 0xFFFFFF), 0);
  EXPECT_EQ(b.line(-5000, -7000, 30000, 40000, 0xFFFFFF), 0);
  EXPECT_EQ(test::PixelAt(b, 19, 5), 0xFFFFFFu);
}

TEST_F(BitmapTest, RestoreOfACreatedSurfaceKeepsItsPicture) {
  bitmap b;
  ASSERT_EQ(b.create(3, 3), 1);
  test::FillPattern(b, 5);
  const DWORD before = test::PixelAt(b, 1, 1);
  winapi::testing::SimulateMinimise(hWnd);
  b.restore();
  EXPECT_EQ(b.surface->IsLost(), DD_OK);
  EXPECT_EQ(test::PixelAt(b, 1, 1), before);
  EXPECT_NE(before, 0xFF00u);
}

TEST_F(BitmapTest, ColorKeyIsStoredInBothHalvesButNotSwitchedOn) {
  bitmap b;
  ASSERT_EQ(b.create(3, 3), 1);
  EXPECT_EQ(b.set_colorkey(0xFF00FF), 1);
  EXPECT_EQ(b.colorkey[0], 0xFF00FFu);
  EXPECT_EQ(b.colorkey[1], 0xFF00FFu);
  EXPECT_EQ(b.use_colorkey, 0);
}

TEST_F(BitmapTest, OperationsOnAnEmptyBitmapFailInsteadOfCrashing) {
  bitmap b;
  EXPECT_EQ(b.free(), 0);
  b.restore();
  EXPECT_EQ(b.clear(0), 0);
  EXPECT_EQ(b.set_colorkey(0), 0);
  EXPECT_NE(b.lock(), 0);
  EXPECT_NE(b.unlock(), 0);
  bitmap other;
  ASSERT_EQ(other.create(2, 2), 1);
  EXPECT_EQ(b.blit(other, nullptr, nullptr), 0);
  EXPECT_EQ(other.blit(b, nullptr, nullptr), 0);
}

class SixteenBitTest : public test::DisplayTest {};

TEST_F(SixteenBitTest, PixelsCopyOnlyTheirOwnBytes) {
  OpenDisplay(320, 200, 16);
  bitmap b;
  ASSERT_EQ(b.create(4, 1), 1);
  ASSERT_EQ(b.lock(), 0);
  EXPECT_EQ(b.put_pixel(1, 0, 0x12345678), 0);
  DWORD v = 0xAAAA0000;
  EXPECT_EQ(b.get_pixel(1, 0, &v), 0);
  EXPECT_EQ(v, 0xAAAA5678u);
  EXPECT_EQ(b.get_pixel(2, 0, &v), 0);
  EXPECT_EQ(v, 0xAAAA0000u);
  b.unlock();
}

}  // namespace
