// The executable: options, the data directory, then WinMain with the remaining
// words as its command line.
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/logfile.h"
#include "image/file_bytes.h"
#include "platform/gdi.h"
#include "platform/runtime.h"
#include "shell/frame_capture.h"
#include "shell/frame_clock.h"
#include "shell/startup_failure.h"
#include "shell/winmain.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "Usage: velmora [OPTION]... [WIDTH HEIGHT BITS]\n"
    "Plays the Velmora demo full screen: 106 seconds, ending by itself.\n"
    "Three words choose the display mode (default 320 200 32; 16, 24 and 32 bits).\n"
    "Keys: Escape ends the demo, F8 re-creates the display at 320 x 200 x 32.\n"
    "\n"
    "  --window        show the demo in a window instead of full screen\n"
    "  --fps N         virtual clock: N frames per second of demo time, as fast as\n"
    "                  the machine allows (deterministic runs and captures)\n"
    "  --tick MS       system tick of the real clock in milliseconds (default 10)\n"
    "  --shot MS:FILE  save the first frame at or after demo time MS as a PNG\n"
    "                  (repeatable)\n"
    "  --start MS      begin at demo time MS (0 to 106000): the way there is run\n"
    "                  unseen, as fast as the machine allows, frame-exact with --fps\n"
    "  --end MS        end the demo at demo time MS\n"
    "  --log           write the log channels to \"log/velmora <module>.log\"\n"
    "  --audio-report  print at the end how the audio callback kept up\n"
    "  --help          show this help and exit\n"
    "  --version       show the version and exit\n"
    "\n"
    "\n"
    "Data comes from the first data folder found: ./data, beside the executable,\n"
    "../share/velmora/data from the executable, or $VELMORA_DATA.\n"
    "See velmora(6) for the keys, the environment and the exit statuses.\n";

bool ParseCount(const char* text, unsigned long max, unsigned long& out) {
  if (!text || !*text) return false;
  char* end = nullptr;
  unsigned long v = std::strtoul(text, &end, 10);
  if (*end || v == 0 || v > max || text[0] == '-') return false;
  out = v;
  return true;
}

// A demo time in milliseconds, within the timeline.
bool IsDemoTime(const std::string& word) {
  if (word.empty() || word.size() > 6 || word.find_first_not_of("0123456789") != std::string::npos) return false;
  return std::stol(word) <= 106000;
}

// A display-mode word: a whole number, as typed, that fits the largest mode.
bool IsModeWord(const std::string& word) {
  if (word.empty() || word.size() > 5) return false;
  for (char c : word)
    if (c < '0' || c > '9') return false;
  return std::stoul(word) <= 65535;
}

int Usage(const char* problem) {
  std::fprintf(stderr, "velmora: %s\nTry 'velmora --help'.\n", problem);
  return 2;
}

fs::path ExecutableDirectory() {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  buf[n] = 0;
  return fs::path(buf).parent_path();
}

}  // namespace

int main(int argc, char** argv) {
  std::string command_line;
  std::vector<ShotRequest> shots;
  bool log_files = false;
  bool audio_report = false;
  int mode_words = 0;
  long start_ms = -1, end_ms = -1;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (arg == "--version") {
      std::puts("velmora " VELMORA_VERSION);
      return 0;
    }
    if (arg == "--window") {
      platform::SetWindowed(true);
    } else if (arg == "--log") {
      log_files = true;
    } else if (arg == "--audio-report") {
      audio_report = true;
    } else if (arg == "--fps" || arg == "--tick") {
      unsigned long v;
      if (i + 1 >= argc || !ParseCount(argv[i + 1], arg == "--fps" ? 100000 : 1000, v))
        return Usage((arg + " needs a positive whole number").c_str());
      ++i;
      if (arg == "--fps")
        platform::UseVirtualClock(static_cast<unsigned>(v));
      else
        platform::UseRealClock(static_cast<DWORD>(v));
    } else if (arg == "--start" || arg == "--end") {
      const std::string value = i + 1 < argc ? argv[i + 1] : "";
      if (!IsDemoTime(value)) return Usage((arg + " needs a demo time from 0 to 106000 ms").c_str());
      ++i;
      (arg == "--start" ? start_ms : end_ms) = std::stol(value);
    } else if (arg == "--shot") {
      ShotRequest shot;
      if (i + 1 >= argc || !ParseShotRequest(argv[i + 1], shot)) return Usage("--shot needs MS:FILE");
      ++i;
      shot.path = fs::absolute(shot.path).string();
      shots.push_back(shot);
    } else if (arg.size() > 1 && arg[0] == '-' && !IsModeWord(arg.substr(1))) {
      return Usage(("unknown option " + arg).c_str());
    } else {
      if (!IsModeWord(arg)) return Usage(("not a display mode number: '" + arg + "'").c_str());
      if (!command_line.empty()) command_line += ' ';
      command_line += arg;
      ++mode_words;
    }
  }
  if (start_ms >= 0 && end_ms >= 0 && end_ms < start_ms) return Usage("--end comes before --start");
  // The driver plays the default mode unless exactly three words came; say so.
  if (mode_words != 0 && mode_words != 3)
    std::fprintf(stderr, "velmora: expected WIDTH HEIGHT BITS, playing at 320 x 200 x 32\n");
  for (const ShotRequest& shot : shots) {
    std::string problem = ShotTargetProblem(shot.path);
    if (!problem.empty()) {
      std::fprintf(stderr, "velmora: cannot save a frame as %s: %s\n", shot.path.c_str(), problem.c_str());
      return 1;
    }
  }

  const fs::path start_directory = fs::current_path();
  std::vector<fs::path> places{start_directory / "data"};
  const fs::path beside = ExecutableDirectory();
  if (!beside.empty()) {
    places.push_back(beside / "data");
    places.push_back((beside / ".." / "share" / "velmora" / "data").lexically_normal());
  }
  if (const char* variable = std::getenv("VELMORA_DATA"); variable && *variable) places.push_back(variable);
  for (size_t i = 1; i < places.size(); ++i)  // the working directory may be the executable's
    if (std::find(places.begin(), places.begin() + long(i), places[i]) != places.begin() + long(i))
      places.erase(places.begin() + long(i--));
  std::error_code ec;
  auto found = std::find_if(places.begin(), places.end(), [&](const fs::path& p) { return fs::is_directory(p, ec); });
  if (found == places.end()) {
    std::string list;
    for (const fs::path& p : places) list += (list.empty() ? "" : ", ") + p.string();
    if (!std::getenv("VELMORA_DATA")) list += ", $VELMORA_DATA (not set)";
    std::fprintf(stderr, "velmora: no data folder: looked in %s\n", list.c_str());
    return 1;
  }
  SetDataDirectory(fs::absolute(*found).string());
  if (log_files) logging::EnableFiles(start_directory.string());

  FrameCapture capture(shots);
  if (start_ms > 0) platform::SkipTo(DWORD(start_ms), [] { return g_dwElapsed; });
  if (!shots.empty() || end_ms >= 0)
    platform::SetPresentHook([&capture, &shots, end_ms, ended = false](const platform::PresentedFrame& f) mutable {
      if (!shots.empty()) capture.OnFrame(f, g_dwElapsed);
      if (end_ms >= 0 && g_dwElapsed >= DWORD(end_ms) && !ended) {
        ended = true;  // the frame at the end is the last one shown
        PostMessageA(hWnd, WM_CLOSE, 0, 0);
      }
    });

  int result = WinMain(GetModuleHandleA(nullptr), nullptr, command_line.data(), 10 /* SW_SHOWDEFAULT */);
  platform::SetPresentHook(nullptr);
  platform::Shutdown();
  if (audio_report) {
    platform::AudioCallbackStats a = platform::AudioStats();
    std::fprintf(stderr, "velmora: audio: %llu callbacks, worst %.3f ms for a %.1f ms buffer\n",
                 static_cast<unsigned long long>(a.callbacks), a.worst_ms, a.buffer_ms);
  }

  for (const std::string& problem : capture.Problems()) std::fprintf(stderr, "velmora: %s\n", problem.c_str());
  for (const ShotRequest& shot : capture.Pending())
    std::fprintf(stderr, "velmora: no frame at or after %u ms for %s\n", shot.demo_ms, shot.path.c_str());
  const bool shots_missing = !capture.Problems().empty() || !capture.Pending().empty();
  if (!FirstStartupFailure().empty()) {
    const std::string& reason = FirstStartupFailureReason();
    std::fprintf(stderr, "velmora: %s failed: %s\n", FirstStartupFailure().c_str(),
                 reason.empty() ? "see the log (--log)" : reason.c_str());
    return 1;
  }
  return shots_missing ? 1 : result;
}
