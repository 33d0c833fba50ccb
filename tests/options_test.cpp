// The command line read into its struct, and where the data folder is found,
// without running the program.
#include "shell/options.h"

#include <gtest/gtest.h>

#include "host/picture_geometry.h"
#include "support.h"

namespace {

Options Parse(std::vector<std::string> words, std::string& problem, bool web = false) {
  Options o;
  if (!ParseOptions(words, web, o, problem)) return Options{};
  problem.clear();
  return o;
}

TEST(Options, WordsBecomeSettingsOrOneProblem) {
  std::string problem;
  Options o = Parse({"--window", "--fps", "60", "--start", "36000", "--end", "62000", "--shot", "40000:a.png",
                     "--aspect", "square", "--scale", "integer", "640", "480", "16"},
                    problem);
  EXPECT_EQ(problem, "");
  EXPECT_TRUE(o.windowed);
  EXPECT_EQ(o.fps, 60u);
  EXPECT_EQ(o.record.fps, 60);
  EXPECT_EQ(o.start_ms, 36000);
  EXPECT_EQ(o.end_ms, 62000);
  ASSERT_EQ(o.shots.size(), 1u);
  EXPECT_EQ(o.shots[0].demo_ms, 40000u);
  EXPECT_TRUE(std::filesystem::path(o.shots[0].path).is_absolute());
  EXPECT_EQ(o.aspect, host::Aspect::kSquare);
  EXPECT_EQ(o.scale, host::Scale::kInteger);
  EXPECT_EQ(o.command_line, "640 480 16");
  EXPECT_EQ(o.mode_words, 3);
  // --tick is the tick loop's; the offset may be negative.
  o = Parse({"--tick", "5", "--refresh", "144", "--av-offset", "-40", "--pacing-report"}, problem);
  EXPECT_TRUE(o.tick_pacing);
  EXPECT_EQ(o.refresh_hz, 144u);
  EXPECT_EQ(o.av_offset_ms, -40);
  EXPECT_TRUE(o.pacing_report);

  // The first problem is the one said; what comes after --help is not read.
  const struct {
    std::vector<std::string> words;
    bool web;
    const char* problem;
  } refused[] = {
      {{"--fps"}, false, "--fps needs a positive whole number"},
      {{"--fps", "0"}, false, "--fps needs a positive whole number"},
      {{"--tick", "-5"}, false, "--tick needs a positive whole number"},
      {{"--start", "106001"}, false, "--start needs a demo time from 0 to 106000 ms"},
      {{"--start", "5000", "--end", "4000"}, false, "--end comes before --start"},
      {{"--record-size", "7681x100"}, false, "--record-size needs WIDTHxHEIGHT (2x2 to 7680x4320), native or 4k"},
      {{"--lossless"}, false, "--lossless and --record-size go with --record"},
      {{"--record", "a.mkv"}, true, "--record is not available in a web page"},
      {{"--log"}, true, "--log is not available in a web page (it writes files)"},
      {{"--loop", "--record", "a.mkv"}, false, "--loop does not go with --record (a recording ends)"},
      {{"--bogus"}, false, "unknown option --bogus"},
      {{"640", "4x0"}, false, "not a display mode number: '4x0'"},
      {{"--shot", "soon"}, false, "--shot needs MS:FILE"},
      {{"--pacing", "vsync"}, false, "--pacing needs display or tick"},
      {{"--refresh", "0"}, false, "--refresh needs a rate in Hz from 1 to 1000"},
      {{"--display", "0"}, false, "--display needs a screen number from 1, or list"},
      {{"--av-offset", "1001"}, false, "--av-offset needs milliseconds from -1000 to 1000"},
  };
  for (const auto& r : refused) {
    Parse(r.words, problem, r.web);
    EXPECT_EQ(problem, r.problem) << r.words[0];
  }
  EXPECT_TRUE(Parse({"--help", "--bogus"}, problem).help);
  EXPECT_EQ(problem, "");
}

TEST(DataFolder, TheFirstPlaceThatIsAFolderWithoutRepeats) {
  test::TempDir work;
  const std::filesystem::path bin = work.path() / "bin";
  std::filesystem::create_directories(work.path() / "share" / "velmora" / "data");
  std::filesystem::create_directories(bin);
  // Run from the executable's folder: its data/ is listed once.
  const auto places = DataFolderPlaces(bin, bin, "/elsewhere");
  const std::vector<std::filesystem::path> expected{bin / "data", work.path() / "share" / "velmora" / "data",
                                                    "/elsewhere"};
  EXPECT_EQ(places, expected);
  std::string looked;
  EXPECT_EQ(FindDataFolder(places, true, looked), work.path() / "share" / "velmora" / "data");
  EXPECT_TRUE(FindDataFolder({bin / "data"}, false, looked).empty());
  EXPECT_EQ(looked, (bin / "data").string() + ", $VELMORA_DATA (not set)");
}

}  // namespace
