#pragma once
// Shared set-up for tests: a window and display on SDL's offscreen driver, a
// clock that stands still, and helpers to read surface pixels.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "base/logfile.h"
#include "gfx/2d.h"
#include "gfx/display.h"
#include "image/bmp_writer.h"
#include "shell/winmain.h"

namespace test {

// Opens a window and sets up the display in the given mode for one test, and
// gives everything back afterwards.
class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  void OpenDisplay(DWORD width = 320, DWORD height = 200, DWORD bpp = 32);
};

// The process's peak resident memory so far (VmHWM), in KiB; -1 when unknown.
long PeakResidentKiB();

// Reads one pixel of a bitmap through its own lock.
DWORD PixelAt(bitmap& b, int x, int y);
// Fills a bitmap with a pattern that differs at every pixel.
void FillPattern(bitmap& b, DWORD seed = 0);

// A fresh empty directory that is removed with the object; the working
// directory moves into it while the object lives.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};

// Writes a 24-bit BMP whose pixel (x, y) is rgb(x, y) (0xRRGGBB).
inline void WriteBmp(const std::string& path, int width, int height, const std::function<uint32_t(int, int)>& rgb) {
  ASSERT_TRUE(WriteBmp24(path, width, height, rgb)) << path;
}

// Everything `channel` logs while `body` runs.
std::string CaptureLog(logfile& channel, const std::function<void()>& body);

// The data directory the generator wrote for this build.
std::filesystem::path DataPath(const std::string& name);

// The directory that holds the committed test fixtures.
std::filesystem::path FixturePath(const std::string& name);

// Puts the driver's state back as a fresh process has it, on the virtual clock at
// 60 frames a second, so that one process can run the whole demo more than once.
void ResetDriverState();

}  // namespace test
