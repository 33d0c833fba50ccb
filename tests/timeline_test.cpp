// The driver's pieces: the part at a demo time, one update step of each part, and
// the values the steps leave behind.
#include "shell/timeline.h"

#include "efx/trig_tables.h"
#include "efx/twirl.h"
#include "shell/captions.h"
#include "shell/demo_parts.h"
#include "shell/seek.h"
#include "shell/timeline_bar.h"
#include "support.h"

namespace {

TEST(PartAt, EachBorderBelongsToTheEarlierPart) {
  const std::pair<DWORD, int> borders[] = {{1, 0},     {25000, 0},  {25001, 1},  {36000, 1},
                                           {36001, 2}, {62000, 2},  {62001, 3},  {68000, 3},
                                           {68001, 4}, {106000, 4}, {106001, 4}, {0xFFFFFFFF, 4}};
  for (auto [ms, part] : borders) EXPECT_EQ(PartAt(ms, 0), part) << ms;
  // At 0 ms the part is left as it stands.
  EXPECT_EQ(PartAt(0, 0), 0);
  EXPECT_EQ(PartAt(0, 3), 3);
  EXPECT_FALSE(TimelineOver(106000));
  EXPECT_TRUE(TimelineOver(106001));
}

TEST(SeekKeys, MoveByTimePartAndTenthClampedAtTheStartAndPastTheEnd) {
  using host::Key;
  const struct {
    Key key;
    uint32_t now;
    long target;  // -1: not a move
  } moves[] = {
      {Key::kRight, 1000, 6000},
      {Key::kLeft, 3000, 0},
      {Key::kUp, 90000, 120000},
      {Key::kDown, 40000, 10000},
      {Key::kHome, 70000, 0},
      {Key::k0, 70000, 0},
      {Key::k1, 0, 10600},
      {Key::k9, 0, 95400},
      {Key::kPageDown, 0, 25001},
      {Key::kPageDown, 25000, 25001},
      {Key::kPageDown, 25001, 36001},
      {Key::kPageDown, 70000, 106001},
      {Key::kPageUp, 30000, 0},
      {Key::kPageUp, 62001, 36001},
      {Key::kPageUp, 10000, 0},
      {Key::kA, 5000, -1},
      {Key::kKeypad1, 5000, -1},
  };
  for (const auto& m : moves) {
    const std::optional<long> target = SeekTargetFor(m.key, m.now);
    EXPECT_EQ(target.value_or(-1), m.target) << int(m.key) << " at " << m.now;
  }
  // A step back lands after the frame before the one shown (at 60 a second it
  // came 16 or 17 ms earlier), never before the start.
  EXPECT_EQ(PreviousFrameTime(1000, 60), 983);
  EXPECT_EQ(PreviousFrameTime(10, 60), 0);
  EXPECT_EQ(PreviousFrameTime(1000, 0), 990);  // the tick's frames
}

class PartSteps : public test::DisplayTest {
 protected:
  void SetUp() override {
    test::DisplayTest::SetUp();
    OpenDisplay();
    InitTables();
    g_fCaptionAngle = 0;
  }
};

TEST_F(PartSteps, TheSlideTurnsTheCaptionsTwicePerStepAndTheTwirlOnce) {
  DemoParts parts;
  UpdatePart(kPartSlide, parts);
  EXPECT_FLOAT_EQ(g_fCaptionAngle, 0.6f);
  UpdatePart(kPartTwirl, parts);
  EXPECT_FLOAT_EQ(g_fCaptionAngle, 0.9f);
  UpdatePart(kPartBios, parts);
  UpdatePart(kPartCola, parts);
  EXPECT_FLOAT_EQ(g_fCaptionAngle, 0.9f);
}

TEST_F(PartSteps, TheBumpStepMovesTheLightByAFifthOfADegreeAndClearsThePicture) {
  DemoParts parts;
  ASSERT_EQ(parts.picture.create(320, 200), 1);
  parts.picture.clear(0xABCDEF);
  UpdatePart(kPartBump, parts);
  EXPECT_EQ(parts.light_angle, 0.2f);
  EXPECT_EQ(test::PixelAt(parts.picture, 17, 33), 0u);
  EXPECT_FLOAT_EQ(g_fCaptionAngle, 0.3f);
  // Entry 0 of the tables: the light sits 80 pixels right of the centre.
  EXPECT_EQ(parts.bump.light_x, 240);
  EXPECT_EQ(parts.bump.light_y, 100);
  for (int i = 1; i < 450; ++i) UpdatePart(kPartBump, parts);
  // Near a quarter turn the light is below the centre (y grows downwards).
  EXPECT_NEAR(parts.light_angle, 90.0f, 0.01f);
  EXPECT_NEAR(parts.bump.light_x, 160, 2);
  EXPECT_NEAR(parts.bump.light_y, 180, 1);
}

TEST(BumpLight, ThePastThreeSixtyStepUsesEntryZeroAndTheNextRestarts) {
  InitTables();
  efx_bump bump;
  bitmap picture;
  picture.width = 320, picture.height = 200;  // only the size is read
  float angle = 0;
  for (int i = 0; i < 1800; ++i) StepBumpLight(angle, bump, picture);
  EXPECT_NEAR(angle, 360.0036, 1e-4);
  EXPECT_EQ(bump.light_x, 240);
  EXPECT_EQ(bump.light_y, 100);
  StepBumpLight(angle, bump, picture);
  EXPECT_EQ(angle, 0.0f);
  picture.width = picture.height = 0;
}

TEST_F(PartSteps, TheBottleTurnsByAHundredthOfADegreeOnEachAxis) {
  DemoParts parts;
  parts.cola.rotation = vertices{270.0f, 0.0f, 0.0f};
  UpdatePart(kPartCola, parts);
  EXPECT_EQ(parts.cola.rotation.x, 269.99f);
  EXPECT_EQ(parts.cola.rotation.y, -0.01f);
  EXPECT_EQ(parts.cola.rotation.z, -0.01f);
}

// The bar's words: minutes and seconds down to the second, the part by the
// timeline's own borders, and never past the length.
TEST(TimelineText, TimeLengthAndPart) {
  const struct {
    DWORD ms;
    const char* text;
  } cases[] = {{0, "0:00 / 1:46 \xB7 power-on"},   {25000, "0:25 / 1:46 \xB7 power-on"},
               {25001, "0:25 / 1:46 \xB7 slide"},  {61999, "1:01 / 1:46 \xB7 twirl"},
               {67000, "1:07 / 1:46 \xB7 bump"},   {83999, "1:23 / 1:46 \xB7 bottle"},
               {200000, "1:46 / 1:46 \xB7 bottle"}};
  for (const auto& c : cases) EXPECT_EQ(TimelineText(c.ms), c.text) << c.ms;
}

TEST(TwirlPhase, StepsByAFiftiethAndSwingsBackTo60PastNinety) {
  // The phase moves on every call, whether or not anything can be drawn.
  bitmap none;
  twirl_phase = 0;
  twirl(none, none);
  EXPECT_EQ(twirl_phase, 0.05f);
  for (int i = 1; i < 1800; ++i) twirl(none, none);
  EXPECT_GT(twirl_phase, 90.0f);
  EXPECT_LT(twirl_phase, 90.06f);
  twirl(none, none);  // call 1801
  EXPECT_EQ(twirl_phase, 60.0f);
  for (int i = 0; i < 600; ++i) twirl(none, none);
  EXPECT_GT(twirl_phase, 90.0f);
  twirl(none, none);  // and every 601 calls after that
  EXPECT_EQ(twirl_phase, 60.0f);
}

}  // namespace
