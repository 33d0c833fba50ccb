#include "shell/frame_capture.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/frame_pump.h"

namespace fs = std::filesystem;

namespace {

host::PresentedFrame FrameOf(const std::vector<uint32_t>& pixels, int width, int height) {
  return {reinterpret_cast<const uint8_t*>(pixels.data()), width, height, width * 4, 32};
}

bool IsPng(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  char magic[8] = {};
  in.read(magic, 8);
  return in && std::string(magic + 1, 3) == "PNG";
}

// The web page learns of each frame through the `saved` callback: once per file
// written, in time order, never for a file that could not be written.
TEST(FrameCapture, SavesTheFirstFrameAtOrAfterEachTimeAndReportsEachFileWritten) {
  const fs::path dir = fs::temp_directory_path() / ("velmora-capture-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string late = (dir / "late.png").string(), early = (dir / "early.png").string(),
                    same = (dir / "same.png").string(), lost = (dir / "no-such-folder" / "x.png").string();
  std::vector<std::string> saved;
  FrameCapture capture({{300, late}, {100, early}, {100, same}, {200, lost}, {900, (dir / "never.png").string()}},
                       [&](const std::string& path) { saved.push_back(path); });
  const std::vector<uint32_t> pixels(4 * 3, 0x00336699u);
  capture.OnFrame(FrameOf(pixels, 4, 3), 50);
  EXPECT_TRUE(saved.empty());
  capture.OnFrame(FrameOf(pixels, 4, 3), 117);  // both 100 ms requests
  capture.OnFrame(FrameOf(pixels, 4, 3), 334);  // the 200 ms one fails, the 300 ms one is written
  EXPECT_EQ(saved, (std::vector<std::string>{early, same, late}));
  for (const std::string& path : saved) EXPECT_TRUE(IsPng(path)) << path;
  ASSERT_EQ(capture.Problems().size(), 1u);
  EXPECT_NE(capture.Problems()[0].find(lost), std::string::npos);
  ASSERT_EQ(capture.Pending().size(), 1u);
  EXPECT_EQ(capture.Pending()[0].demo_ms, 900u);
  fs::remove_all(dir);
}

}  // namespace
