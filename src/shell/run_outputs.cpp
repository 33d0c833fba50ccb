#include "shell/run_outputs.h"

#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/window_globals.h"
#include "host/audio_mixer.h"
#include "host/clock.h"
#include "host/settings.h"
#include "host/video_start.h"
#include "host/web_page.h"
#include "recorder/video_sink.h"
#include "shell/frame_clock.h"
#include "shell/seek.h"
#include "shell/timeline.h"

namespace {

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
  const double mb = double(std::filesystem::file_size(path, ec)) / (1024 * 1024);
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::fprintf(stderr, "velmora: %s %s: %.1f s, %llu frames of %d x %d, %.1f MB, %.1fx real time\n",
               g_interrupted ? "interrupted; recorded up to then in" : "recorded", path.c_str(), recorder.Seconds(),
               static_cast<unsigned long long>(recorder.Frames()), recorder.Size().width, recorder.Size().height, mb,
               wall > 0 ? recorder.Seconds() / wall : 0.0);
  return g_interrupted ? 128 + g_interrupted : 0;
}

// The five parts as chapters of the recording, which ends at `end_ms`.
std::vector<recorder::Chapter> PartChapters(uint32_t end_ms) {
  std::vector<recorder::Chapter> chapters;
  for (int part = kPartBios; part <= kPartCola; ++part) {
    const uint32_t start = PartStartMs(part), end = part < kPartCola ? PartStartMs(part + 1) : kDemoEndMs;
    if (start < end_ms) chapters.push_back({start, std::min(end, end_ms), PartName(part)});
  }
  return chapters;
}

int PrepareRecording(const Options& options, recorder::Recording& recorder) {
  recorder::Recording::Request record = options.record;
  record.chapters = PartChapters(options.end_ms >= 0 ? uint32_t(options.end_ms) : kDemoEndMs);
  std::string error;
  if (!recorder.Prepare(record, error)) {
    std::fprintf(stderr, "velmora: %s\nTry 'velmora --help'.\n", error.c_str());
    return 2;
  }
  if (!recorder::VideoSinkAvailable(error)) {
    std::fprintf(stderr, "velmora: cannot record: %s\n", error.c_str());
    return 1;
  }
  if (std::string problem = ShotTargetProblem(record.path); !problem.empty()) {
    std::fprintf(stderr, "velmora: cannot record to %s: %s\n", record.path.c_str(), problem.c_str());
    return 1;
  }
  // The chapters as a video site's description takes them.
  for (const recorder::Chapter& c : recorder::ChaptersFrom(record.chapters, uint32_t(std::max(0L, options.start_ms))))
    std::printf("%s %s\n", MinutesSeconds(c.start_ms).c_str(), c.title.c_str());
  std::fflush(stdout);
  if (!options.fps) host::UseVirtualClock(unsigned(record.fps));
  // The frames go to the file only, and the sound is pulled in step with them.
  host::audio::UsePullMode(recorder::Recording::kSampleRate);
  host::SetPresentToWindow(false);
  host::RunWithoutDevices();
#ifndef _WIN32  // the Windows build does not record
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, OnInterrupt);
  // A file-size limit fails the write, which ends the recording with its reason
  // and removes the partial file, instead of killing the program silently.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  return 0;
}

}  // namespace

RunOutputs::RunOutputs(const Options& options) : options_(options), capture_(options.shots, host::HandShotToPage) {}

int RunOutputs::Prepare() {
  if (!options_.record.path.empty())
    if (int status = PrepareRecording(options_, recorder_); status != 0) return status;
  for (const ShotRequest& shot : options_.shots) {
    if (std::string problem = ShotTargetProblem(shot.path); !problem.empty()) {
      std::fprintf(stderr, "velmora: cannot save a frame as %s: %s\n", shot.path.c_str(), problem.c_str());
      return 1;
    }
  }
  return 0;
}

void RunOutputs::Start() {
  const long start_ms = options_.start_ms, end_ms = options_.end_ms;
  progress_.emplace(uint32_t(std::max(0L, start_ms)), uint32_t(end_ms >= 0 ? end_ms : kDemoEndMs),
                    isatty(STDERR_FILENO) == 1);
  record_start_ = std::chrono::steady_clock::now();
  if (!options_.shots.empty() || end_ms >= 0 || !options_.record.path.empty())
    host::SetPresentHook([this](const host::PresentedFrame& f) { OnFrame(f); });
  host::SetSnapshotHook([](const host::PresentedFrame& f) { SaveNumberedFrame(f, host::HandShotToPage); });
}

void RunOutputs::OnFrame(const host::PresentedFrame& f) {
  capture_.OnFrame(f, g_dwElapsed);
  if (ended_) return;
  // The frame at the end is the last one shown, and recorded too.
  bool end = options_.end_ms >= 0 && g_dwElapsed >= DWORD(options_.end_ms);
  if (!options_.record.path.empty()) {
    const bool added = recorder_.AddFrame(f, g_dwElapsed);
    end = end || !added || g_interrupted;
    progress_->Update(g_dwElapsed);
  }
  if (end && LoopStart()) {
    RequestSeek(*LoopStart());  // the span again
  } else if (end) {
    ended_ = true;
    PostMessageA(hWnd, WM_CLOSE, 0, 0);
  }
}

void RunOutputs::Stop() {
  host::SetPresentHook(nullptr);
  host::SetSnapshotHook(nullptr);
}

int RunOutputs::Finish(bool run_started) {
  for (const std::string& problem : capture_.Problems()) std::fprintf(stderr, "velmora: %s\n", problem.c_str());
  for (const ShotRequest& shot : capture_.Pending())
    std::fprintf(stderr, "velmora: no frame at or after %u ms for %s\n", shot.demo_ms, shot.path.c_str());
  const int shots_status = capture_.Problems().empty() && capture_.Pending().empty() ? 0 : 1;
  if (options_.record.path.empty()) return shots_status;
  if (progress_) progress_->Done();
  if (!run_started) {
    recorder_.Abandon();
    return shots_status;
  }
  const int record_status = FinishRecording(recorder_, options_.record.path, record_start_);
  return record_status ? record_status : shots_status;
}
