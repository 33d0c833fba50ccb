#include "efx/object3d.h"

#include <array>
#include <cstring>
#include <fstream>
#include <optional>

#include "efx/animation3d.h"
#include "efx/trig_tables.h"
#include "support.h"

namespace {

struct Obj {
  std::vector<std::array<float, 3>> vertices;
  std::vector<std::array<uint32_t, 3>> faces;
};

std::vector<uint8_t> ObjectFile(const std::vector<Obj>& objects, std::optional<int32_t> count = {}) {
  std::vector<uint8_t> f;
  auto put = [&](const void* p) {
    uint8_t bytes[4];
    std::memcpy(bytes, p, 4);
    for (uint8_t b : bytes) f.push_back(b);
  };
  int32_t n = count ? *count : int32_t(objects.size());
  put(&n);
  for (const Obj& o : objects) {
    uint32_t v = uint32_t(o.vertices.size()), fc = uint32_t(o.faces.size());
    put(&v);
    for (auto& p : o.vertices) put(&p[0]), put(&p[1]), put(&p[2]);
    put(&fc);
    for (auto& p : o.faces) put(&p[0]), put(&p[1]), put(&p[2]);
  }
  return f;
}

void Write(const char* path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

const Obj kSegment{{{0, 0, 0}, {-20, 0, 0}, {20, 0, 0}}, {{0, 1, 2}}};
const Obj kPoint{{{5, 6, 7}}, {}};
const Obj kBig{{{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}}, {{0, 1, 2}, {1, 2, 3}}};

class Object3d : public test::DisplayTest {
 protected:
  void SetUp() override {
    test::DisplayTest::SetUp();
    OpenDisplay();
    InitTables();
    ASSERT_EQ(target.create(100, 100), 1);
  }
  int LitCount() {
    int n = 0;
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 100; ++x) n += test::PixelAt(target, x, y) != 0;
    return n;
  }
  test::TempDir dir;
  bitmap target;
};

TEST_F(Object3d, NumberPastTheCountIsRefusedAndEarlierRecordsAreSkipped) {
  Write("three.obj", ObjectFile({kPoint, kBig, kSegment}));
  efx_3d o;
  std::string log = test::CaptureLog(log_efect, [&] { EXPECT_FALSE(o.load("three.obj", 3)); });
  EXPECT_NE(log.find("ERROR num(3)>=temp(3)"), std::string::npos) << log;
  ASSERT_TRUE(o.load("three.obj", 2));
  EXPECT_EQ(o.vertex_count, 3u);
  EXPECT_EQ(o.face_count, 1u);
  EXPECT_EQ(o.model[1].x, -20.0f);
  ASSERT_TRUE(o.load("three.obj", 1));
  EXPECT_EQ(o.vertex_count, 4u);
  EXPECT_EQ(o.face[1].third, 3u);
}

TEST_F(Object3d, MalformedFilesFailCleanlyWithAnErrorLine) {
  const std::vector<uint8_t> good = ObjectFile({kBig});
  std::vector<std::vector<uint8_t>> bad;
  bad.push_back(ObjectFile({Obj{{{0, 0, 0}}, {{0, 0, 1}}}}));           // index past the vertices
  bad.push_back(std::vector<uint8_t>(good.begin(), good.end() - 1));    // shorter than its counts
  bad.push_back(std::vector<uint8_t>(good.begin(), good.begin() + 2));  // not even a count
  std::vector<uint8_t> huge = good;
  huge[4] = huge[5] = huge[6] = 0xFF, huge[7] = 0x7F;  // 2^31 vertices in a tiny file
  bad.push_back(huge);
  bad.push_back(ObjectFile({kBig}, -5));  // a negative count
  for (size_t i = 0; i < bad.size(); ++i) {
    Write("bad.obj", bad[i]);
    efx_3d o;
    std::string log = test::CaptureLog(log_efect, [&] { EXPECT_FALSE(o.load("bad.obj", 0)) << i; });
    EXPECT_NE(log.find("ERROR"), std::string::npos) << i << ": " << log;
    EXPECT_EQ(o.model, nullptr) << i;
    o.draw(target);  // an object whose load failed draws nothing
  }
  EXPECT_EQ(LitCount(), 0);
  efx_3d missing;
  EXPECT_FALSE(missing.load("no-such.obj", 0));
}

TEST_F(Object3d, AnglesFoldOnceAndExactly360ReadsEntryZero) {
  Write("s.obj", ObjectFile({kSegment}));
  efx_3d o;
  ASSERT_TRUE(o.load("s.obj", 0));
  o.projection = vertices{50, 50, 1000};
  o.rotation = vertices{360.0f, 360.5f, -0.01f};
  o.draw(target);
  EXPECT_EQ(o.rotation.x, 360.0f);
  EXPECT_FLOAT_EQ(o.rotation.y, 0.5f);
  EXPECT_FLOAT_EQ(o.rotation.z, 359.99f);
  // With A at 360 (entry 0) and B at 0.5 (entry 0) and C at 359.99 (entry 359),
  // the segment stays almost flat along x.
  EXPECT_NEAR(o.view[2].x, 70.0f, 0.1f);
  EXPECT_NEAR(o.view[2].y, 50.0f, 0.5f);
}

TEST_F(Object3d, OnlyTheSecondToThirdVertexEdgeIsDrawn) {
  // Face (a, b, c) with a far left: only b (60, 50) to c (80, 50) may show.
  Write("f.obj", ObjectFile({Obj{{{-45, 0, 0}, {10, 0, 0}, {30, 0, 0}}, {{0, 1, 2}}}}));
  efx_3d o;
  ASSERT_TRUE(o.load("f.obj", 0));
  o.projection = vertices{50, 50, 1000};
  o.draw(target);
  for (int x = 0; x < 100; ++x) EXPECT_EQ(test::PixelAt(target, x, 50) != 0, x >= 60 && x < 80) << x;
  EXPECT_EQ(LitCount(), 20);
}

TEST_F(Object3d, IdentityPutsAVertexAtItsPositionPlusTheCentre) {
  Write("s.obj", ObjectFile({kSegment}));
  efx_3d o;
  ASSERT_TRUE(o.load("s.obj", 0));
  o.projection = vertices{40, 30, 1000};
  o.draw(target);
  EXPECT_FLOAT_EQ(o.view[1].x, 20.0f);
  EXPECT_FLOAT_EQ(o.view[1].y, 30.0f);
  EXPECT_FLOAT_EQ(o.view[2].x, 60.0f);
  EXPECT_EQ(test::PixelAt(target, 20, 30), 0xFFFFFFu);
  EXPECT_EQ(test::PixelAt(target, 59, 30), 0xFFFFFFu);
  EXPECT_EQ(test::PixelAt(target, 60, 30), 0u);  // the end point is not drawn
}

TEST_F(Object3d, AVertexInTheViewersPlaneIsNotDrawn) {
  Write("z.obj", ObjectFile({Obj{{{0, 0, 0}, {0, 0, -1000}, {10, 10, 0}}, {{0, 1, 2}, {0, 2, 0}}}}));
  efx_3d o;
  ASSERT_TRUE(o.load("z.obj", 0));
  o.projection = vertices{50, 50, 1000};
  o.draw(target);
  EXPECT_EQ(test::PixelAt(target, 55, 55), 0xFFFFFFu);  // the other edge still shows
  EXPECT_EQ(test::PixelAt(target, 99, 99), 0u);
}

TEST_F(Object3d, AnimationBlendsKeyFramesAndWraps) {
  // Three key frames of one segment, its right end at x = 10, 30, 50.
  auto key = [](float x) { return Obj{{{0, 0, 0}, {0, 0, 0}, {x, 0, 0}}, {{0, 1, 2}}}; };
  Write("anim.ult", ObjectFile({key(10), key(30), key(50)}));
  efx_3d_animation a;
  ASSERT_TRUE(a.load("anim.ult"));
  EXPECT_EQ(a.interval_count, 2);
  a.work[0].projection = vertices{0, 0, 1000};
  a.set_time(0);
  EXPECT_EQ(a.current, &a.objects[0]);
  EXPECT_EQ(a.next, &a.objects[1]);
  EXPECT_EQ(a.weight, 0);
  a.draw(target);
  EXPECT_FLOAT_EQ(a.work[0].model[2].x, 10.0f);
  a.set_time(150);  // halfway through the second interval
  EXPECT_EQ(a.current, &a.objects[1]);
  EXPECT_EQ(a.weight, 50);
  a.draw(target);
  EXPECT_FLOAT_EQ(a.work[0].model[2].x, 40.0f);
  a.set_time(225);  // past the end (200): wraps to 25
  EXPECT_FLOAT_EQ(a.time(), 25.0f);
  EXPECT_EQ(a.current, &a.objects[0]);
  a.set_time(-10);  // before the start: wraps to 190
  EXPECT_FLOAT_EQ(a.time(), 190.0f);
  EXPECT_EQ(a.next, &a.objects[2]);
  a.set_time(200);  // the very end: both key frames still exist
  EXPECT_EQ(a.current, &a.objects[0]);
  EXPECT_FALSE(a.load("no-such.ult"));
}

TEST_F(Object3d, AFailedReloadLeavesTheAnimationAsItWas) {
  auto key = [](float x) { return Obj{{{0, 0, 0}, {0, 0, 0}, {x, 0, 0}}, {{0, 1, 2}}}; };
  Write("good.ult", ObjectFile({key(10), key(30)}));
  // The middle key frame names a vertex it does not have.
  Write("bad.ult", ObjectFile({key(10), Obj{{{0, 0, 0}}, {{0, 0, 5}}}, key(50)}));
  efx_3d_animation a;
  ASSERT_TRUE(a.load("good.ult"));
  a.work[0].projection = vertices{0, 0, 1000};
  EXPECT_FALSE(a.load("bad.ult"));
  EXPECT_EQ(a.interval_count, 1);
  a.set_time(50);
  a.draw(target);  // reads the key frames current and next point to
  EXPECT_FLOAT_EQ(a.work[0].model[2].x, 20.0f);
}

TEST_F(Object3d, AKeyFrameCountTheFileCannotHoldIsRefusedBeforeAllocating) {
  std::vector<uint8_t> f = ObjectFile({kSegment});
  const uint32_t claimed = 5000000;
  std::memcpy(f.data(), &claimed, 4);
  f.resize(124, 0);
  Write("claims.ult", f);
  const long before = test::PeakResidentKiB();
  efx_3d_animation a;
  EXPECT_FALSE(a.load("claims.ult"));
  EXPECT_LT(test::PeakResidentKiB() - before, 16 * 1024);
  EXPECT_EQ(a.objects, nullptr);
}

}  // namespace
