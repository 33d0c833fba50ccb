// Whole runs of the demo on the virtual clock at 320 x 200 in 16, 24 and 32 bits:
// the frames presented at seven demo times and every log file must be those of
// the build the fixture was recorded from, so that work on the drawing paths
// cannot move a pixel or a log line unnoticed. Addresses in the logs differ from
// run to run and are masked. To record the fixture anew from the current build
// (only when a change is meant to alter the frames), run this test with
// VELMORA_RECORD_WHOLE_RUN set to the fixture's path.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "base/logfile.h"
#include "host/clock.h"
#include "host/frame_pump.h"
#include "host/playback.h"
#include "host/settings.h"
#include "image/file_bytes.h"
#include "shell/demo.h"
#include "shell/frame_clock.h"
#include "shell/startup_failure.h"
#include "support.h"
#include "winapi/gdi.h"
#include "winapi/window_extras.h"

namespace {

const std::vector<DWORD> kTimes{5000, 20000, 30000, 40000, 63000, 70000, 90000};  // on the 60 fps grid
const char* const kModules[] = {"con", "winmain", "2d", "dx", "main", "efect", "font", "apu", "input", "console"};

uint64_t Fnv1a(const uint8_t* bytes, size_t n, uint64_t h = 0xcbf29ce484222325ull) {
  for (size_t i = 0; i < n; ++i) h = (h ^ bytes[i]) * 0x100000001b3ull;
  return h;
}

std::string Hex(uint64_t h) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
  return text;
}

// Runs of nine digits or more are addresses (object ids, window handles).
std::string MaskAddresses(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    size_t end = i;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
    if (end - i >= 9) {
      out += "ADDR";
      i = end;
    } else if (end > i) {
      out.append(text, i, end - i);
      i = end;
    } else {
      out += text[i++];
    }
  }
  return out;
}

// "BITS frame MS" or "BITS log MODULE" -> hash, for one whole run.
using Record = std::map<std::string, std::string>;

class WholeRun : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    host::SetWindowed(true, 320, 200);
  }
  void TearDown() override {
    host::SetPresentHook(nullptr);
    winapi::Shutdown();
    logging::DisableFiles();
    SetDataDirectory("");
  }

  Record Run(int bits) {
    test::TempDir dir;
    SetDataDirectory(test::DataPath("").string());
    logging::EnableFiles(dir.path().string());
    test::ResetDriverState();  // each run starts as a fresh process does
    Record record;
    const std::string tag = std::to_string(bits);
    host::SetPresentHook([&](const host::PresentedFrame& f) {
      for (DWORD t : kTimes) {
        const std::string key = tag + " frame " + std::to_string(t);
        if (g_dwElapsed < t || record.count(key)) continue;
        uint64_t h = Fnv1a(nullptr, 0);
        for (int y = 0; y < f.height; ++y)
          h = Fnv1a(f.pixels + size_t(y) * size_t(f.pitch), size_t(f.width) * size_t(f.bits_per_pixel / 8), h);
        record[key] = Hex(h);
      }
    });
    std::string words = "320 200 " + tag;
    EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, words.data(), 10), 0);
    EXPECT_EQ(FirstStartupFailure(), "");
    host::SetPresentHook(nullptr);
    winapi::Shutdown();
    logging::DisableFiles();
    if (std::getenv("VELMORA_KEEP_WHOLE_RUN_LOGS"))
      std::filesystem::copy(dir.path() / "log", std::string(std::getenv("VELMORA_KEEP_WHOLE_RUN_LOGS")) + "/" + tag,
                            std::filesystem::copy_options::recursive);
    for (const char* module : kModules) {
      std::ifstream log(dir.path() / (std::string("log/velmora ") + module + ".log"), std::ios::binary);
      std::stringstream text;
      text << log.rdbuf();
      const std::string masked = MaskAddresses(text.str());
      record[tag + " log " + module] = Hex(Fnv1a(reinterpret_cast<const uint8_t*>(masked.data()), masked.size()));
    }
    return record;
  }
};

uint64_t FrameHash(const host::PresentedFrame& f) {
  uint64_t h = Fnv1a(nullptr, 0);
  for (int y = 0; y < f.height; ++y)
    h = Fnv1a(f.pixels + size_t(y) * size_t(f.pitch), size_t(f.width) * size_t(f.bits_per_pixel / 8), h);
  return h;
}

// The hash of every frame a run at `fps` presents, by demo time: from
// `start_ms`, and `frames` of them (0: to the end).
std::map<DWORD, uint64_t> PresentedFrames(const std::string& mode, unsigned fps, DWORD start_ms, size_t frames) {
  test::ResetDriverState();
  host::UseVirtualClock(fps);
  if (start_ms > 0) host::SkipTo(start_ms, [] { return g_dwElapsed; });
  std::map<DWORD, uint64_t> shown;
  host::SetPresentHook([&](const host::PresentedFrame& f) {
    shown[g_dwElapsed] = FrameHash(f);
    if (shown.size() == frames) PostMessageA(hWnd, WM_CLOSE, 0, 0);
  });
  std::string words = mode;
  EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, words.data(), 10), 0);
  EXPECT_EQ(FirstStartupFailure(), "");
  host::SetPresentHook(nullptr);
  winapi::Shutdown();
  return shown;
}

Record ReadFixture(const std::filesystem::path& path) {
  Record record;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const size_t cut = line.rfind(' ');
    record[line.substr(0, cut)] = line.substr(cut + 1);
  }
  return record;
}

TEST_F(WholeRun, FramesAndLogsInEveryDepthEqualTheRecordedOnes) {
  Record record;
  for (int bits : {16, 24, 32}) record.merge(Run(bits));
  ASSERT_EQ(record.size(), 3 * (kTimes.size() + std::size(kModules)));  // every shot was taken
  if (const char* out = std::getenv("VELMORA_RECORD_WHOLE_RUN")) {
    std::ofstream file(out);
    file << "# Whole runs at 320 x 200, --fps 60: FNV-1a 64 of each frame's rows and of each log\n"
            "# file with addresses masked. Written by whole_run_test (VELMORA_RECORD_WHOLE_RUN).\n";
    for (const auto& [key, hash] : record) file << key << ' ' << hash << '\n';
    GTEST_SKIP() << "recorded " << out;
  }
  const Record expected = ReadFixture(test::FixturePath("whole_run_320x200.txt"));
  ASSERT_FALSE(expected.empty());
  for (const auto& [key, hash] : expected) {
    ASSERT_TRUE(record.count(key)) << key;
    EXPECT_EQ(record.at(key), hash) << key;
  }
  EXPECT_EQ(record.size(), expected.size());
}

// A start anywhere (and so a seek, which goes the same way) draws only what the
// frames after it read, yet shows the whole run's frames: at 320 x 200 those
// recorded, at 640 x 480 (where a caption reaches past the pictures' edge) in
// every part, at its first frame and its phases' turns. 10 frames a second
// still cross every part's frames.
TEST_F(WholeRun, ARunStartedAnywhereShowsTheFramesOfTheWholeRun) {
  SetDataDirectory(test::DataPath("").string());
  const Record expected = ReadFixture(test::FixturePath("whole_run_320x200.txt"));
  for (const char* bits : {"16", "24", "32"})
    for (const DWORD t : kTimes) {
      const std::map<DWORD, uint64_t> started = PresentedFrames(std::string("320 200 ") + bits, 60, t, 1);
      ASSERT_EQ(started.size(), 1u);
      EXPECT_EQ(Hex(started.at(t)), expected.at(std::string(bits) + " frame " + std::to_string(t))) << bits << " " << t;
    }
  const DWORD starts[] = {50, 8400, 13050, 25050, 36050, 50000, 62050, 68050, 68150, 99000};
  for (const char* mode : {"640 480 16", "640 480 24", "640 480 32"}) {
    const std::map<DWORD, uint64_t> whole = PresentedFrames(mode, 10, 0, 0);
    ASSERT_GT(whole.size(), 1000u) << mode;
    for (const DWORD start : starts) {
      const std::map<DWORD, uint64_t> started = PresentedFrames(mode, 10, start, 3);
      ASSERT_EQ(started.size(), 3u) << mode << " from " << start;
      EXPECT_EQ(started.begin()->first, (start + 99) / 100 * 100) << mode << " from " << start;
      for (const auto& [ms, hash] : started) EXPECT_EQ(hash, whole.at(ms)) << mode << " from " << start << " at " << ms;
    }
  }
}

}  // namespace
