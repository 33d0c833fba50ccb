// Recording to a video file: the rules that need no encoder, and the sound kept in
// step with the frames by a real recorder.
#include "recorder/recording.h"

#include <filesystem>
#include <vector>

#include "host/frame_pump.h"
#include "host/settings.h"
#include "recorder/record_rules.h"
#include "support.h"

namespace {

using recorder::AudioFramesDue;
using recorder::DefaultRecordSize;
using recorder::RecordFormatFor;
using recorder::RecordSize;

TEST(RecordRules, TheExtensionChoosesTheFormats) {
  struct Row {
    const char* path;
    bool lossless;
    const char* container;  // null: refused
    const char* video;
    const char* audio;
  };
  const Row rows[] = {
      {"demo.mkv", false, "matroska", "libx264", "flac"},
      {"demo.MP4", false, "mp4", "libx264", "aac"},
      {"a/b.c/demo.webm", false, "webm", "libvpx-vp9", "libopus"},
      {"exact.mkv", true, "matroska", "ffv1", "flac"},
      {"exact.mp4", true, nullptr, nullptr, nullptr},
      {"demo.avi", false, nullptr, nullptr, nullptr},
      {"demo", false, nullptr, nullptr, nullptr},
      {"dir.mkv/demo", false, nullptr, nullptr, nullptr},
  };
  for (const Row& r : rows) {
    const recorder::RecordFormat* f = RecordFormatFor(r.path, r.lossless);
    if (!r.container) {
      EXPECT_EQ(f, nullptr) << r.path;
      continue;
    }
    ASSERT_NE(f, nullptr) << r.path;
    EXPECT_STREQ(f->container, r.container) << r.path;
    EXPECT_STREQ(f->video_codec, r.video) << r.path;
    EXPECT_STREQ(f->audio_codec, r.audio) << r.path;
    EXPECT_EQ(f->rgb, r.lossless) << r.path;
  }
}

TEST(RecordRules, SmallModesGrowTo1080LinesAtTheShapeOfTheirMonitor) {
  struct Row {
    int w, h;
    RecordSize expected;
  };
  const Row rows[] = {
      {320, 200, {1440, 1080}},
      {640, 400, {1440, 1080}},
      {640, 480, {1440, 1080}},
      {1024, 768, {1440, 1080}},
      {1600, 1000, {1440, 1080}} /* the 4:3 rule holds up to 1600 wide */,
      {1680, 1050, {1728, 1080}},
      {1920, 1080, {1920, 1080}},
      {3840, 2160, {3840, 2160}},
      {1001, 1081, {1002, 1082}},
  };
  for (const Row& r : rows) {
    RecordSize s = DefaultRecordSize(r.w, r.h);
    EXPECT_EQ(s.width, r.expected.width) << r.w << "x" << r.h;
    EXPECT_EQ(s.height, r.expected.height) << r.w << "x" << r.h;
  }
}

TEST(RecordRules, SizeWordsAreWidthByHeightOrNative) {
  bool native = false;
  RecordSize s;
  EXPECT_TRUE(recorder::ParseRecordSize("1280x720", native, s));
  EXPECT_FALSE(native);
  EXPECT_EQ(s.width, 1280);
  EXPECT_EQ(s.height, 720);
  EXPECT_TRUE(recorder::ParseRecordSize("native", native, s));
  EXPECT_TRUE(native);
  // 4k: 2160 lines at the mode's shape, 4:3 up to 1600 wide, square pixels above.
  EXPECT_TRUE(recorder::ParseRecordSize("4k", native, s));
  EXPECT_FALSE(native);
  EXPECT_EQ(s.width, 0);
  EXPECT_EQ(s.height, 2160);
  EXPECT_EQ(recorder::RecordSizeAtLines(320, 200, s.height).width, 2880);
  EXPECT_EQ(recorder::RecordSizeAtLines(1920, 1080, s.height).width, 3840);
  for (const char* bad : {"", "x", "1280x", "x720", "1280*720", "-1x5", "1x720", "9000x720", "12a0x720", "1280x720x3"})
    EXPECT_FALSE(recorder::ParseRecordSize(bad, native, s)) << bad;
}

TEST(RecordRules, SoundDueIsTheRoundedDemoTimeInSampleFrames) {
  EXPECT_EQ(AudioFramesDue(0, 48000), 0u);
  EXPECT_EQ(AudioFramesDue(16, 48000), 768u);
  EXPECT_EQ(AudioFramesDue(106000, 48000), 5088000u);
  EXPECT_EQ(AudioFramesDue(1, 44100), 44u);   // 44.1 rounds down
  EXPECT_EQ(AudioFramesDue(3, 44100), 132u);  // 132.3
  EXPECT_EQ(AudioFramesDue(7, 44100), 309u);  // 308.7 rounds up
}

class RecordingTest : public test::DisplayTest {};

// A recording from 30 s to 70 s: the slide's chapter starts it, the bottle's is
// cut at its end, and what ended before the start is left out.
TEST(RecordRules, ChaptersStartFromTheRecordingsFirstFrame) {
  const std::vector<recorder::Chapter> demo{{0, 25000, "power-on"},
                                            {25000, 36000, "slide"},
                                            {36000, 62000, "twirl"},
                                            {62000, 68000, "bump"},
                                            {68000, 70000, "bottle"}};
  const std::vector<recorder::Chapter> chapters = recorder::ChaptersFrom(demo, 30000);
  ASSERT_EQ(chapters.size(), 4u);
  const uint32_t starts[] = {0, 6000, 32000, 38000}, ends[] = {6000, 32000, 38000, 40000};
  for (size_t i = 0; i < chapters.size(); ++i) {
    EXPECT_EQ(chapters[i].start_ms, starts[i]) << i;
    EXPECT_EQ(chapters[i].end_ms, ends[i]) << i;
    EXPECT_EQ(chapters[i].title, demo[i + 1].title);
  }
}

TEST_F(RecordingTest, AfterEveryFrameTheSoundHoldsExactlyTheFramesDue) {
  test::TempDir dir;
  std::vector<uint8_t> pixels(8 * 6 * 4, 0x40);
  const host::PresentedFrame frame{pixels.data(), 8, 6, 8 * 4, 32};
  for (int fps : {60, 50, 30, 1000}) {
    recorder::Recording recording;
    recorder::Recording::Request request;
    request.path = (dir.path() / ("steps" + std::to_string(fps) + ".mkv")).string();
    request.lossless = true;
    request.fps = fps;
    std::string error;
    ASSERT_TRUE(recording.Prepare(request, error)) << error;
    // Demo times as the virtual clock gives them, starting late as --start does.
    const uint32_t first = 36000;
    for (int k = 0; k < 3 * fps; ++k) {
      const uint32_t t = first + uint32_t(uint64_t(k) * 1000 / fps);
      ASSERT_TRUE(recording.AddFrame(frame, t)) << recording.Error();
      ASSERT_EQ(recording.AudioFrames(), AudioFramesDue(t - first, 48000)) << fps << " fps, frame " << k;
    }
    ASSERT_TRUE(recording.Finish()) << recording.Error();
    EXPECT_EQ(recording.Frames(), uint64_t(3 * fps));
    EXPECT_TRUE(std::filesystem::exists(request.path));
  }
}

TEST_F(RecordingTest, AFailedRecordingLeavesNoFileBehind) {
  test::TempDir dir;
  std::vector<uint8_t> pixels(8 * 6 * 4, 0);
  const host::PresentedFrame frame{pixels.data(), 8, 6, 8 * 4, 32};
  {
    recorder::Recording recording;
    recorder::Recording::Request request;
    request.path = (dir.path() / "gone.mkv").string();
    std::string error;
    ASSERT_TRUE(recording.Prepare(request, error));
    ASSERT_TRUE(recording.AddFrame(frame, 0));
    recording.Abandon();
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 0);
  recorder::Recording refused;
  recorder::Recording::Request request;
  request.path = (dir.path() / "x.avi").string();
  std::string error;
  EXPECT_FALSE(refused.Prepare(request, error));
  EXPECT_NE(error.find(".mkv, .mp4, .webm"), std::string::npos) << error;
}

}  // namespace
