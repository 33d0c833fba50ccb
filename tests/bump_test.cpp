#include "efx/bump.h"

#include <cmath>
#include <fstream>

#include "effect_reference.h"
#include "efx/trig_tables.h"
#include "support.h"

namespace {

class BumpTest : public test::DisplayTest {
 protected:
  void SetUp() override {
    test::DisplayTest::SetUp();
    OpenDisplay();
    InitTables();
  }
  test::TempDir dir;
};

TEST_F(BumpTest, LightMapsAreADiscOfRadius128) {
  test::WriteBmp("c.bmp", 8, 8, [](int, int) { return 0x808080u; });
  efx_bump b;
  ASSERT_TRUE(b.create("c.bmp", "c.bmp", "ignored"));
  EXPECT_EQ(b.lightmapr[0][0], 127);
  EXPECT_EQ(b.lightmapr[1][0], 126);
  EXPECT_EQ(b.lightmapr[127][0], 0);
  for (int i = 0; i < 128; ++i)
    for (int j = 0; j < 128; ++j) {
      if (i * i + j * j >= 128 * 128) {
        ASSERT_EQ(b.lightmapr[i][j], 0) << i << "," << j;
      }
      ASSERT_EQ(b.lightmapr[i][j], b.lightmapg[i][j]);
      ASSERT_EQ(b.lightmapg[i][j], b.lightmapb[i][j]);
    }
}

TEST_F(BumpTest, WhiteHeightIs127AndGreyHalfOfIt) {
  test::WriteBmp("c.bmp", 4, 2, [](int, int) { return 0x102030u; });
  test::WriteBmp("h.bmp", 4, 2, [](int x, int) { return x < 2 ? 0xFFFFFFu : 0x808080u; });
  efx_bump b;
  ASSERT_TRUE(b.create("c.bmp", "h.bmp", ""));
  EXPECT_EQ(b.heightmap[0], 127);
  EXPECT_EQ(b.heightmap[4 + 1], 127);
  EXPECT_EQ(b.heightmap[3], 64);  // 384 / 6
}

class Bump16 : public test::DisplayTest {};

TEST_F(Bump16, ChannelsAreLitNotBitPositions) {
  OpenDisplay(320, 200, 16);
  InitTables();
  // A grey picture on flat ground: at the light, each channel times 127 / 128.
  test::WriteBmp("c.bmp", 16, 16, [](int, int) { return 0x808080u; });
  test::WriteBmp("h.bmp", 16, 16, [](int, int) { return 0x808080u; });
  efx_bump b;
  ASSERT_TRUE(b.create("c.bmp", "h.bmp", ""));
  EXPECT_EQ(b.heightmap[5 * 16 + 5], 65);  // (0x84 + 0x82 + 0x84) / 6: the widened channels, not bits
  bitmap target;
  ASSERT_EQ(target.create(16, 16), 1);
  b.light_x = 8, b.light_y = 8;
  b.run(target, 0);
  // 0x808080 in 5-6-5 widens to 0x848284; lit by 127 / 128: 0x838183; packed: 16, 32, 16.
  EXPECT_EQ(test::PixelAt(target, 8, 8), DWORD(16 << 11 | 32 << 5 | 16));
}

TEST_F(BumpTest, DifferentWidthsFailBeforeAnyHeightIsComputed) {
  test::WriteBmp("c.bmp", 8, 8, [](int, int) { return 0u; });
  test::WriteBmp("h.bmp", 9, 8, [](int, int) { return 0u; });
  efx_bump b;
  std::string log = test::CaptureLog(log_efect, [&] { EXPECT_FALSE(b.create("c.bmp", "h.bmp", "")); });
  EXPECT_NE(log.find("ERROR buffer.width!=temp.width"), std::string::npos) << log;
  EXPECT_EQ(log.find("heightmap = new char"), std::string::npos);
  EXPECT_EQ(b.heightmap, nullptr);
  EXPECT_FALSE(b.holds_surface());  // the bump picture is released too
  test::WriteBmp("h2.bmp", 8, 9, [](int, int) { return 0u; });
  efx_bump c;
  log = test::CaptureLog(log_efect, [&] { EXPECT_FALSE(c.create("c.bmp", "h2.bmp", "")); });
  EXPECT_NE(log.find("buffer.height!=temp.height"), std::string::npos);
}

TEST_F(BumpTest, RunWithoutCreateDrawsNothing) {
  bitmap target;
  ASSERT_EQ(target.create(8, 8), 1);
  target.clear(0x010203);
  efx_bump b;
  EXPECT_FALSE(b.create("missing.bmp", "missing.bmp", ""));
  b.run(target, 0);
  EXPECT_EQ(test::PixelAt(target, 4, 4), 0x010203u);
}

TEST_F(BumpTest, WholeFramesEqualTheReferenceAndBordersStayUntouched) {
  test::WriteBmp("c.bmp", 320, 200, [](int x, int y) { return uint32_t(x * 0x010203 ^ y * 0x030201) & 0xFFFFFF; });
  test::WriteBmp("h.bmp", 320, 200, [](int x, int y) {
    uint32_t v = uint32_t(127 + 120 * std::sin(x * 0.1) * std::cos(y * 0.13));
    return v * 0x010101u;
  });
  efx_bump b;
  ASSERT_TRUE(b.create("c.bmp", "h.bmp", ""));
  bitmap fast, reference;
  ASSERT_EQ(fast.create(320, 200), 1);
  ASSERT_EQ(reference.create(320, 200), 1);
  float angle = 0;
  for (int step = 0; step < 2400; step += 150) {
    angle = static_cast<float>(step * 0.2);
    int k = static_cast<int>(angle) % 360;
    b.light_x = static_cast<int16_t>(static_cast<int>(COS[k] * 80 + 160));
    b.light_y = static_cast<int16_t>(static_cast<int>(SIN[k] * 80 + 100));
    if (step == 1800) b.light_x = -900, b.light_y = 30;  // far outside: every distance clamps
    if (step == 1950) b.light_x = 300, b.light_y = 2000;
    if (step == 2100) b.light_x = -32768, b.light_y = 32767;  // distances beyond 16 bits
    if (step == 2250) b.light_x = 32767, b.light_y = -32768;
    fast.clear(0x777777);
    reference.clear(0x777777);
    b.run(fast, 0);
    BumpReference(b, reference);
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 320; ++x)
        ASSERT_EQ(test::PixelAt(fast, x, y), test::PixelAt(reference, x, y)) << x << "," << y;
  }
  for (int x = 0; x < 320; x += 5) {
    EXPECT_EQ(test::PixelAt(fast, x, 0), 0x777777u);
    EXPECT_EQ(test::PixelAt(fast, x, 199), 0x777777u);
  }
  EXPECT_EQ(test::PixelAt(fast, 0, 100), 0x777777u);
  EXPECT_EQ(test::PixelAt(fast, 319, 100), 0x777777u);
  EXPECT_EQ(b.run_count, 16u);
}

}  // namespace
