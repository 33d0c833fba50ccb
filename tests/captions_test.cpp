#include "shell/captions.h"

#include "efx/trig_tables.h"
#include "support.h"

namespace {

class Captions : public test::DisplayTest {
 protected:
  void SetUp() override {
    test::DisplayTest::SetUp();
    OpenDisplay();
    InitTables();
    LoadCaptionFont(test::DataPath("font.ult").c_str(), 0.3f);
    ASSERT_EQ(target.create(320, 200), 1);
  }
  bitmap target;
};

TEST_F(Captions, LettersOfTwirlStand21PixelsApart) {
  DrawCaption(target, 50, 50, "Twirl");
  const char* letters = "Twirl";
  const float expected[] = {50, 71, 92, 113, 134};
  for (int i = 0; i < 5; ++i) {
    efx_3d& letter = g_CaptionLetters[g_CaptionMap[static_cast<unsigned char>(letters[i])]];
    EXPECT_FLOAT_EQ(letter.projection.x, expected[i]) << letters[i];
    EXPECT_FLOAT_EQ(letter.projection.y, 50.0f);
  }
}

TEST_F(Captions, SpaceCountsItsPositionButDrawsNothing) {
  DrawCaption(target, 50, 50, "Wireframe Cola");
  EXPECT_FLOAT_EQ(g_CaptionLetters[g_CaptionMap['C']].projection.x, 260.0f);
  bitmap alone;
  ASSERT_EQ(alone.create(320, 200), 1);
  DrawCaption(alone, 50, 50, " ");
  for (int y = 0; y < 200; y += 2)
    for (int x = 0; x < 320; x += 2) ASSERT_EQ(test::PixelAt(alone, x, y), 0u);
}

TEST_F(Captions, DigitsAndTheHyphenHaveLettersAndNoAIsDrawnForThem) {
  EXPECT_EQ(g_nCaptionLetters, kCaptionLetterSlots);
  EXPECT_EQ(g_CaptionMap[static_cast<unsigned char>('-')], kCaptionHyphen);
  EXPECT_EQ(g_CaptionMap[static_cast<unsigned char>('3')], 60);
  efx_3d& a = g_CaptionLetters[0];
  a.projection.x = -1;
  DrawCaption(target, 50, 50, "32-bit bump mapping");
  EXPECT_EQ(a.projection.x, -1.0f);                           // no A in this caption, and nothing falls back to it
  EXPECT_FLOAT_EQ(g_CaptionLetters[60].projection.x, 50.0f);  // the 3
  EXPECT_FLOAT_EQ(g_CaptionLetters[kCaptionHyphen].projection.x, 92.0f);
  EXPECT_EQ(g_CaptionMap[static_cast<unsigned char>('?')], -1);
}

TEST_F(Captions, EveryLetterTurnsWithTheSharedAngle) {
  g_fCaptionAngle = 123.0f;
  DrawCaption(target, 50, 50, "AbA");
  EXPECT_EQ(g_CaptionLetters[0].rotation.x, 123.0f);
  EXPECT_EQ(g_CaptionLetters[g_CaptionMap['b']].rotation.x, 123.0f);
  int lit = 0;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 320; ++x) lit += test::PixelAt(target, x, y) != 0;
  EXPECT_GT(lit, 30);
}

TEST(CaptionAngle, StepsByPoint3AndRestartsAfter360) {
  g_fCaptionAngle = 360.0f;
  StepCaptionAngle();
  EXPECT_EQ(g_fCaptionAngle, 0.0f);
  g_fCaptionAngle = 359.9f;
  StepCaptionAngle();
  EXPECT_NEAR(g_fCaptionAngle, 360.2f, 1e-4);
  StepCaptionAngle();
  EXPECT_EQ(g_fCaptionAngle, 0.0f);
}

}  // namespace
