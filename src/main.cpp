// The executable: options, the data directory, then WinMain with the remaining
// words as its command line.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/executable_directory.h"
#include "base/logfile.h"
#include "host/audio_mixer.h"
#include "host/pacing_report.h"
#include "host/playback.h"
#include "host/web_page.h"
#include "image/file_bytes.h"
#include "shell/frame_clock.h"
#include "shell/options.h"
#include "shell/player_keys.h"
#include "shell/run_outputs.h"
#include "shell/run_settings.h"
#include "shell/screen_choice.h"
#include "shell/startup_failure.h"
#include "shell/winmain.h"
#include "winapi/gdi.h"
#include "winapi/window_extras.h"

namespace fs = std::filesystem;

namespace {

int Usage(const std::string& problem) {
  std::fprintf(stderr, "velmora: %s\nTry 'velmora --help'.\n", problem.c_str());
  return 2;
}

// The first data folder of the places looked in; false, said, when there is none.
bool UseDataFolder(const fs::path& start_directory) {
  const char* variable = std::getenv("VELMORA_DATA");
  std::string looked;
  const fs::path data =
      FindDataFolder(DataFolderPlaces(start_directory, ExecutableDirectory(), variable), variable && *variable, looked);
  if (data.empty()) {
    std::fprintf(stderr, "velmora: no data folder: looked in %s\n", looked.c_str());
    return false;
  }
  SetDataDirectory(data.string());
  return true;
}

void PrintReports(const Options& options) {
  if (options.audio_report) {
    const host::audio::CallbackStats a = host::audio::Stats();
    std::fprintf(stderr, "velmora: audio: %llu callbacks, worst %.3f ms for a %.1f ms buffer\n",
                 static_cast<unsigned long long>(a.callbacks), a.worst_ms, a.buffer_ms);
  }
  if (options.pacing_report) std::fputs(host::DescribePacing(host::Pacing()).c_str(), stderr);
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (std::string problem;
      !ParseOptions(std::vector<std::string>(argv + 1, argv + argc), host::kInWebPage, options, problem))
    return Usage(problem);
  if (options.help || options.version) {
    std::fputs(options.help ? UsageText() : "velmora " VELMORA_VERSION "\n", stdout);
    return 0;
  }
  // The driver plays the default mode unless exactly three words came; say so.
  if (options.mode_words != 0 && options.mode_words != 3)
    std::fprintf(stderr, "velmora: expected WIDTH HEIGHT BITS, playing at 320 x 200 x 32\n");
  ApplyRunSettings(options);
  if (const std::optional<int> status = AnswerScreenChoice(options)) return *status;
  RunOutputs outputs(options);
  if (const int status = outputs.Prepare(); status != 0) return status;
  const fs::path start_directory = fs::current_path();
  if (!UseDataFolder(start_directory)) return 1;
  if (options.log_files) logging::EnableFiles(start_directory.string());

  if (options.start_ms > 0) host::SkipTo(DWORD(options.start_ms), [] { return g_dwElapsed; });
  outputs.Start();
  InstallPlayerKeys();
  const int result = WinMain(GetModuleHandleA(nullptr), nullptr, options.command_line.data(), 10 /* SW_SHOWDEFAULT */);
  outputs.Stop();
  winapi::Shutdown();
  PrintReports(options);
  const int outputs_status = outputs.Finish(FirstStartupFailure().empty());
  if (ReportStartupFailure(options.mode_words == 3 ? options.command_line : "320 200 32")) return 1;
  return outputs_status ? outputs_status : result;
}
