#include "support.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#include "efx/twirl.h"
#include "host/clock.h"
#include "host/last_error.h"
#include "shell/captions.h"
#include "shell/demo.h"
#include "shell/frame_clock.h"
#include "shell/startup_failure.h"
#include "winapi/win32.h"
#include "winapi/window_extras.h"

namespace test {

void DisplayTest::SetUp() {
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  host::UseManualClock(1000);
  g_bQuit = 0;
  ASSERT_EQ(InitHwnd(), 1) << host::LastErrorText();
}

void DisplayTest::OpenDisplay(DWORD width, DWORD height, DWORD bpp) {
  ASSERT_EQ(DxInit(width, height, bpp), 1) << host::LastErrorText();
}

void DisplayTest::TearDown() {
  front.free();
  DxFree();
  winapi::Shutdown();
  hWnd = nullptr;
  g_bActive = 0;
}

DWORD PixelAt(bitmap& b, int x, int y) {
  DWORD v = 0;
  EXPECT_EQ(b.lock(), 0);
  EXPECT_EQ(b.get_pixel(x, y, &v), 0);
  b.unlock();
  return v;
}

void FillPattern(bitmap& b, DWORD seed) {
  ASSERT_EQ(b.lock(), 0);
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x) b.put_pixel(x, y, (seed + 0x010203u * (x + 1) + 0x070501u * (y + 1)) & 0xFFFFFF);
  b.unlock();
}

TempDir::TempDir() {
  std::random_device rd;
  path_ = std::filesystem::temp_directory_path() / ("velmora-test-" + std::to_string(rd()));
  std::filesystem::create_directories(path_);
  previous_ = std::filesystem::current_path();
  std::filesystem::current_path(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::current_path(previous_, ec);
  std::filesystem::remove_all(path_, ec);
}

std::string CaptureLog(logfile& channel, const std::function<void()>& body) {
  const auto dir = std::filesystem::temp_directory_path() / ("velmora-log-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  logging::EnableFiles(dir.string());
  channel.open("", "capture.log", "capture", nullptr);
  body();
  channel.file.close();
  logging::DisableFiles();
  std::ifstream in(dir / "capture.log");
  std::stringstream text;
  text << in.rdbuf();
  std::filesystem::remove_all(dir);
  return text.str();
}

std::filesystem::path DataPath(const std::string& name) { return std::filesystem::path(VELMORA_DATA_DIR) / name; }

std::filesystem::path FixturePath(const std::string& name) { return std::filesystem::path(VELMORA_FIXTURES) / name; }

void ResetDriverState() {
  g_bQuit = 0;
  demo::ResetTimeline();
  host::UseVirtualClock(60);
  front.free();
  ClearStartupFailure();
}

}  // namespace test

namespace test {
long PeakResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}
}  // namespace test
