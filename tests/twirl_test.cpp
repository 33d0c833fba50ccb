#include "efx/twirl.h"

#include <cmath>

#include "effect_reference.h"
#include "efx/trig_tables.h"
#include "support.h"

namespace {

TEST(TwirlAngles, EightDirectionsAndTheCentre) {
  EXPECT_EQ(angle_of(5, 0, 0, 0), 180);
  EXPECT_EQ(angle_of(-5, 0, 0, 0), 0);
  EXPECT_EQ(angle_of(0, 5, 0, 0), 270);
  EXPECT_EQ(angle_of(0, -5, 0, 0), 90);
  EXPECT_NEAR(angle_of(-5, -5, 0, 0), 45, 1e-9);
  EXPECT_NEAR(angle_of(5, -5, 0, 0), 135, 1e-9);
  EXPECT_NEAR(angle_of(5, 5, 0, 0), 225, 1e-9);
  EXPECT_NEAR(angle_of(-5, 5, 0, 0), 315, 1e-9);
  EXPECT_EQ(angle_of(7, 7, 7, 7), 0);
  EXPECT_FLOAT_EQ(distance_of(163, 104, 160, 100), 5.0f);
  EXPECT_EQ(distance_of(160, 100, 160, 100), 0.0f);
}

class TwirlDraw : public test::DisplayTest {
 protected:
  void SetUp() override {
    test::DisplayTest::SetUp();
    OpenDisplay();
    InitTables();
    ASSERT_EQ(picture.create(320, 200), 1);
    test::FillPattern(picture, 7);
    ASSERT_EQ(fast.create(320, 200), 1);
    ASSERT_EQ(reference.create(320, 200), 1);
    fast.clear(0x123456);
    reference.clear(0x123456);
  }
  void ExpectEqualFrames() {
    fast.lock();
    reference.lock();
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 320; ++x) {
        DWORD a = 0, b = 0;
        fast.get_pixel(x, y, &a);
        reference.get_pixel(x, y, &b);
        ASSERT_EQ(a, b) << x << "," << y << " phase " << twirl_phase;
      }
    fast.unlock();
    reference.unlock();
  }
  bitmap picture, fast, reference;
};

TEST_F(TwirlDraw, WholeFramesEqualTheReferenceOverManyPhases) {
  float phase = 0;
  twirl_phase = 0;
  for (int frame = 0; frame < 2500; ++frame) {
    twirl(fast, picture);
    TwirlReference(reference, picture, phase);
    ASSERT_EQ(twirl_phase, phase);
    if (frame % 97 == 0 || frame == 1800 || frame == 2499) ExpectEqualFrames();
  }
}

TEST_F(TwirlDraw, OuterRowsAndColumnsAreNeverWritten) {
  twirl_phase = 0;
  for (int i = 0; i < 5; ++i) twirl(fast, picture);
  for (int y = 0; y < 200; y += 3) {
    EXPECT_EQ(test::PixelAt(fast, 0, y), 0x123456u);
    EXPECT_EQ(test::PixelAt(fast, 11, y), 0x123456u);
    EXPECT_EQ(test::PixelAt(fast, 308, y), 0x123456u);
    EXPECT_EQ(test::PixelAt(fast, 319, y), 0x123456u);
  }
  for (int x = 0; x < 320; x += 3) {
    EXPECT_EQ(test::PixelAt(fast, x, 59), 0x123456u);
    EXPECT_EQ(test::PixelAt(fast, x, 140), 0x123456u);
  }
}

TEST_F(TwirlDraw, TheCentrePixelMapsOntoItself) {
  twirl_phase = 0;
  twirl(fast, picture);
  EXPECT_EQ(test::PixelAt(fast, 160, 100), test::PixelAt(picture, 160, 100));
}

TEST_F(TwirlDraw, SmallerPictureLeavesPixelsOutsideItAlone) {
  bitmap tiny;
  ASSERT_EQ(tiny.create(170, 110), 1);
  test::FillPattern(tiny, 3);
  twirl_phase = 0;
  float phase = 0;
  twirl(fast, tiny);
  TwirlReference(reference, tiny, phase);
  ExpectEqualFrames();
  EXPECT_EQ(test::PixelAt(fast, 300, 130), 0x123456u);  // its source lies past the small picture
}

TEST_F(TwirlDraw, APictureTwistedOntoItselfReadsWhatItAlreadyWrote) {
  // Down the columns, as the reference draws: another order reads other pixels.
  test::FillPattern(fast, 5);
  test::FillPattern(reference, 5);
  float phase = 70;
  twirl_phase = 70;
  for (int frame = 0; frame < 3; ++frame) {
    twirl(fast, fast);
    TwirlReference(reference, reference, phase);
  }
  ExpectEqualFrames();
}

// The way to a start time twists no frame but the ones a pixel's colour comes
// from: the result is that of every frame drawn, across the swing's turn at 90
// and from a picture smaller than the destination.
TEST_F(TwirlDraw, FramesWorkedOutBackwardsEqualEveryFrameDrawn) {
  bitmap tiny;
  ASSERT_EQ(tiny.create(170, 110), 1);
  test::FillPattern(tiny, 3);
  const struct {
    float phase;
    int frames;
    bitmap* source;
  } cases[] = {{0, 1, &picture}, {0, 40, &picture}, {85, 700, &picture}, {20, 1500, &picture}, {0, 300, &tiny}};
  for (const auto& c : cases) {
    fast.clear(0x123456);
    reference.clear(0x123456);
    twirl_phase = c.phase;
    for (int i = 0; i < c.frames; ++i) twirl(reference, *c.source);
    EXPECT_EQ(twirl_frames(fast, *c.source, c.phase, c.frames), twirl_phase) << c.phase << " " << c.frames;
    ExpectEqualFrames();
  }
}

TEST(TwirlFold, AtExactly359NotFoldedAbove359Folded) {
  EXPECT_EQ(fold_twirl_angle(359.0f), 359.0f);
  EXPECT_EQ(fold_twirl_angle(359.5f), 0.0f);
  EXPECT_EQ(fold_twirl_angle(765.2f), 406.0f);  // one fold only: the table index wraps later
  EXPECT_EQ(fold_twirl_angle(-0.5f), 358.0f);
  EXPECT_EQ(fold_twirl_angle(0.0f), 0.0f);
}

}  // namespace
