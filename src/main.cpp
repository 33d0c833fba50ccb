// The executable: options, the data directory, then WinMain with the remaining
// words as its command line.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/executable_directory.h"
#include "base/logfile.h"
#include "host/audio_mixer.h"
#include "host/clock.h"
#include "host/frame_pump.h"
#include "host/pacing_report.h"
#include "host/picture_geometry.h"
#include "host/playback.h"
#include "host/settings.h"
#include "host/web_page.h"
#include "image/file_bytes.h"
#include "image/png_writer.h"
#include "recorder/record_rules.h"
#include "recorder/recording.h"
#include "recorder/video_sink.h"
#include "shell/frame_capture.h"
#include "shell/frame_clock.h"
#include "shell/options.h"
#include "shell/player_keys.h"
#include "shell/record_progress.h"
#include "shell/startup_failure.h"
#include "shell/timeline.h"
#include "shell/winmain.h"
#include "winapi/gdi.h"
#include "winapi/window_extras.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "Usage: velmora [OPTION]... [WIDTH HEIGHT BITS]\n"
    "Plays the Velmora demo full screen: 106 seconds, ending by itself.\n"
    "Three words choose the display mode (default 320 200 32; 16, 24 and 32 bits).\n"
    "Keys: Escape ends the demo, F8 re-creates the display at 320 x 200 x 32,\n"
    "Alt+Enter switches between window and full screen, F12 saves the frame shown\n"
    "as velmora-NNNN.png, P or Pause pauses and resumes, the key under Escape\n"
    "(` or ~) opens a console (log lines; help, time, fps, goto MS, pause,\n"
    "shot FILE, log CHANNEL on|off, quit).\n"
    "\n"
    "  --window        show the demo in a window (whole multiples of the picture)\n"
    "  --aspect crt|square\n"
    "                  crt (default): modes up to 1600 pixels wide have the 4:3\n"
    "                  shape of a monitor of their time (320 x 200 pixels are 1.2\n"
    "                  times taller than wide); square: every pixel square\n"
    "  --scale fit|integer\n"
    "                  fit (default): the largest picture that fits; integer:\n"
    "                  whole multiples per axis, the shape closest to the aspect\n"
    "  --filter nearest|sharp|linear\n"
    "                  how the picture is scaled: sharp (default with fit) is\n"
    "                  nearest to the largest whole multiple, then linear to the\n"
    "                  final size; nearest is the default with integer\n"
    "  --renderer auto|gpu|cpu\n"
    "                  scale on the GPU (SDL's accelerated renderer) or the CPU;\n"
    "                  auto (default) uses a real GPU, not a software OpenGL\n"
    "  --no-vsync      do not wait for the screen's refresh on the GPU\n"
    "  --fps N         virtual clock: N frames per second of demo time, as fast as\n"
    "                  the machine allows (deterministic runs and captures)\n"
    "  --pacing display|tick\n"
    "                  display (default): one new frame per refresh of the screen,\n"
    "                  each at its own time (the frames of --fps at the screen's\n"
    "                  rate, every second refresh above 100 Hz), the picture kept\n"
    "                  in step with the music; tick: a frame whenever the system\n"
    "                  tick moves, as the original loop does\n"
    "  --refresh HZ    the screen's refresh rate for the pacing (default: what the\n"
    "                  system says, else 60)\n"
    "  --av-offset MS  the sound later than the picture by MS (negative: earlier)\n"
    "  --pacing-report print at the end the frames shown and skipped, the times\n"
    "                  between presents and how far sound and picture drifted\n"
    "  --tick MS       system tick of the tick pacing in milliseconds (default 10;\n"
    "                  implies --pacing tick)\n"
    "  --shot MS:FILE  save the first frame at or after demo time MS as a PNG\n"
    "                  (repeatable)\n"
    "  --start MS      begin at demo time MS (0 to 106000): the way there is run\n"
    "                  unseen, as fast as the machine allows, frame-exact with --fps\n"
    "  --end MS        end the demo at demo time MS\n"
    "  --record FILE   record the demo to a video file (.mkv, .mp4, .webm) with\n"
    "                  its sound, on the virtual clock (60 fps unless --fps), with\n"
    "                  no display or sound device needed\n"
    "  --record-size WxH\n"
    "                  the video's size, or 'native' for the mode's size; by default\n"
    "                  modes under 1080 lines are scaled to 1080 lines at 4:3\n"
    "                  (square pixels above 1600 wide), larger ones keep their size\n"
    "  --lossless      record every frame exactly (FFV1 and FLAC in .mkv; the\n"
    "                  mode's size unless --record-size)\n"
    "  --log           write the log channels to \"log/velmora <module>.log\"\n"
    "  --mute          play without sound (without a sound device the demo plays\n"
    "                  silently anyway, and says so)\n"
    "  --audio-report  print at the end how the audio callback kept up\n"
    "  --help          show this help and exit\n"
    "  --version       show the version and exit\n"
    "\n"
    "\n"
    "Data comes from the first data folder found: ./data, beside the executable,\n"
    "../share/velmora/data from the executable, or $VELMORA_DATA.\n"
    "See velmora(6) for the keys, the environment and the exit statuses.\n";

int Usage(const char* problem) {
  std::fprintf(stderr, "velmora: %s\nTry 'velmora --help'.\n", problem);
  return 2;
}

// The signal that ended a recording early (Ctrl-C, SIGTERM, SIGHUP), 0 for none.
volatile std::sig_atomic_t g_interrupted = 0;
#ifndef _WIN32
void OnInterrupt(int signal) { g_interrupted = signal; }
#endif

// Closes the file and says what it holds: 0, or 1 when it could not be written,
// or 128 + the signal when one ended the recording early (the file still plays).
int FinishRecording(recorder::Recording& recorder, const std::string& path,
                    std::chrono::steady_clock::time_point started) {
  if (!recorder.Finish()) {
    std::fprintf(stderr, "velmora: recording %s failed: %s\n", path.c_str(), recorder.Error().c_str());
    return 1;
  }
  std::error_code ec;
  const double mb = double(fs::file_size(path, ec)) / (1024 * 1024);
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::fprintf(stderr, "velmora: %s %s: %.1f s, %llu frames of %d x %d, %.1f MB, %.1fx real time\n",
               g_interrupted ? "interrupted; recorded up to then in" : "recorded", path.c_str(), recorder.Seconds(),
               static_cast<unsigned long long>(recorder.Frames()), recorder.Size().width, recorder.Size().height, mb,
               wall > 0 ? recorder.Seconds() / wall : 0.0);
  return g_interrupted ? 128 + g_interrupted : 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (std::string problem;
      !ParseOptions(std::vector<std::string>(argv + 1, argv + argc), host::kInWebPage, options, problem))
    return Usage(problem.c_str());
  if (options.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (options.version) {
    std::puts("velmora " VELMORA_VERSION);
    return 0;
  }
  // The driver plays the default mode unless exactly three words came; say so.
  if (options.mode_words != 0 && options.mode_words != 3)
    std::fprintf(stderr, "velmora: expected WIDTH HEIGHT BITS, playing at 320 x 200 x 32\n");
  std::vector<ShotRequest>& shots = options.shots;
  recorder::Recording::Request& record = options.record;
  const long start_ms = options.start_ms, end_ms = options.end_ms;
  host::Aspect aspect = options.aspect;
  host::Scale scale = options.scale;
  std::string filter = options.filter, renderer = options.renderer;
  if (options.windowed) host::SetWindowed(true);
  if (options.tick_pacing)
    host::UseRealClock(options.tick_ms ? options.tick_ms : 10);
  else
    host::UsePacedClock(options.refresh_hz);
  if (options.fps) host::UseVirtualClock(options.fps);  // deterministic runs win over pacing
  host::SetAvOffset(options.av_offset_ms);
  const bool recording = !record.path.empty();
  if (host::kInWebPage) {
    // The canvas holds the mode's pixels one for one and the page scales it,
    // crisp, to the aspect asked for.
    host::SetPageAspect(aspect);
    host::SetWindowed(true);
    aspect = host::Aspect::kSquare;
    scale = host::Scale::kInteger;
    filter = "nearest";
    renderer = "cpu";
  }
  host::audio::SetSound(options.mute, true);
  host::SetPictureRules(aspect, scale);
  // Whole multiples are crisp by themselves; a fit to any size needs the sharp
  // filter's last linear step to keep the pixels even.
  if (filter.empty()) filter = scale == host::Scale::kInteger ? "nearest" : "sharp";
  host::SetPresentation(filter == "nearest" ? host::Filter::kNearest
                        : filter == "sharp" ? host::Filter::kSharp
                                            : host::Filter::kLinear,
                        renderer == "gpu"   ? host::Renderer::kGpu
                        : renderer == "cpu" ? host::Renderer::kCpu
                                            : host::Renderer::kAuto,
                        options.vsync);
  recorder::Recording recorder;
  if (recording) {
    std::string error;
    if (!recorder.Prepare(record, error)) return Usage(error.c_str());
    if (!recorder::VideoSinkAvailable(error)) {
      std::fprintf(stderr, "velmora: cannot record: %s\n", error.c_str());
      return 1;
    }
    if (std::string problem = ShotTargetProblem(record.path); !problem.empty()) {
      std::fprintf(stderr, "velmora: cannot record to %s: %s\n", record.path.c_str(), problem.c_str());
      return 1;
    }
    if (!options.fps) host::UseVirtualClock(unsigned(record.fps));
    // The frames go to the file only, and the sound is pulled in step with them.
    host::audio::UsePullMode(recorder::Recording::kSampleRate);
    host::SetPresentToWindow(false);
#ifndef _WIN32  // the Windows build does not record
    // Nothing to set up: no screen and no sound device are needed.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, OnInterrupt);
    // A file-size limit fails the write, which ends the recording with its reason
    // and removes the partial file, instead of killing the program silently.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
  }
  for (const ShotRequest& shot : shots) {
    std::string problem = ShotTargetProblem(shot.path);
    if (!problem.empty()) {
      std::fprintf(stderr, "velmora: cannot save a frame as %s: %s\n", shot.path.c_str(), problem.c_str());
      return 1;
    }
  }

  const fs::path start_directory = fs::current_path();
  const char* variable = std::getenv("VELMORA_DATA");
  std::string looked;
  const fs::path data =
      FindDataFolder(DataFolderPlaces(start_directory, ExecutableDirectory(), variable), variable && *variable, looked);
  if (data.empty()) {
    std::fprintf(stderr, "velmora: no data folder: looked in %s\n", looked.c_str());
    return 1;
  }
  SetDataDirectory(data.string());
  if (options.log_files) logging::EnableFiles(start_directory.string());

  FrameCapture capture(shots, host::HandShotToPage);
  if (start_ms > 0) host::SkipTo(DWORD(start_ms), [] { return g_dwElapsed; });
  RecordProgress progress(uint32_t(std::max(0L, start_ms)), uint32_t(end_ms >= 0 ? end_ms : kDemoEndMs),
                          isatty(STDERR_FILENO) == 1);
  const auto record_start = std::chrono::steady_clock::now();
  if (!shots.empty() || end_ms >= 0 || recording)
    host::SetPresentHook([&, ended = false](const host::PresentedFrame& f) mutable {
      if (!shots.empty()) capture.OnFrame(f, g_dwElapsed);
      if (ended) return;
      bool end = end_ms >= 0 && g_dwElapsed >= DWORD(end_ms);  // the frame at the end is the last one shown
      if (recording) {
        // The frame at the end is recorded too, as it is shown.
        const bool added = recorder.AddFrame(f, g_dwElapsed);
        end = end || !added || g_interrupted;
        progress.Update(g_dwElapsed);
      }
      if (end) {
        ended = true;
        PostMessageA(hWnd, WM_CLOSE, 0, 0);
      }
    });

  InstallPlayerKeys();
  host::SetSnapshotHook([](const host::PresentedFrame& f) {
    // The first free velmora-NNNN.png in the working directory.
    for (int n = 1; n < 10000; ++n) {
      char name[32];
      std::snprintf(name, sizeof name, "velmora-%04d.png", n);
      std::error_code e;
      if (fs::exists(name, e)) continue;
      const std::vector<uint8_t> rgb = FrameToRgb(f);
      if (WritePngRgb(name, f.width, f.height, rgb.data())) {
        std::fprintf(stderr, "velmora: saved %s\n", name);
        host::HandShotToPage(name);
      } else
        std::fprintf(stderr, "velmora: cannot save %s\n", name);
      return;
    }
  });
  int result = WinMain(GetModuleHandleA(nullptr), nullptr, options.command_line.data(), 10 /* SW_SHOWDEFAULT */);
  host::SetPresentHook(nullptr);
  winapi::Shutdown();
  if (options.audio_report) {
    host::audio::CallbackStats a = host::audio::Stats();
    std::fprintf(stderr, "velmora: audio: %llu callbacks, worst %.3f ms for a %.1f ms buffer\n",
                 static_cast<unsigned long long>(a.callbacks), a.worst_ms, a.buffer_ms);
  }
  if (options.pacing_report) std::fputs(host::DescribePacing(host::Pacing()).c_str(), stderr);

  for (const std::string& problem : capture.Problems()) std::fprintf(stderr, "velmora: %s\n", problem.c_str());
  for (const ShotRequest& shot : capture.Pending())
    std::fprintf(stderr, "velmora: no frame at or after %u ms for %s\n", shot.demo_ms, shot.path.c_str());
  const bool shots_missing = !capture.Problems().empty() || !capture.Pending().empty();
  if (recording) {
    progress.Done();
    if (!FirstStartupFailure().empty())
      recorder.Abandon();
    else if (int status = FinishRecording(recorder, record.path, record_start); status != 0)
      return status;
  }
  if (!FirstStartupFailure().empty()) {
    const std::string& reason = FirstStartupFailureReason();
    if (reason.rfind("not a mode", 0) == 0) {  // the user's own words name the mode
      std::string mode = options.mode_words == 3 ? options.command_line : "320 200 32";
      for (size_t at = mode.find(' '); at != std::string::npos; at = mode.find(' ', at + 3)) mode.replace(at, 1, " x ");
      std::fprintf(stderr, "velmora: %s: %s\n", mode.c_str(), reason.c_str());
    } else {
      std::fprintf(stderr, "velmora: %s failed: %s\n", FirstStartupFailure().c_str(),
                   reason.empty() ? "see the log (--log)" : reason.c_str());
    }
    return 1;
  }
  return shots_missing ? 1 : result;
}
