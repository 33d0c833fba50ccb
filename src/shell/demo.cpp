#include "shell/demo.h"

#include <cmath>
#include <cstdlib>
#include <memory>
#include <optional>

#include "base/logfile.h"
#include "efx/trig_tables.h"
#include "efx/twirl.h"
#include "gfx/2d.h"
#include "gfx/display.h"
#include "host/clock.h"
#include "host/playback.h"
#include "input/keyboard.h"
#include "input/mouse.h"
#include "shell/captions.h"
#include "shell/demo_parts.h"
#include "shell/frame_clock.h"
#include "shell/live_console.h"
#include "shell/seek.h"
#include "shell/startup_failure.h"
#include "shell/timeline.h"
#include "shell/timeline_bar.h"
#include "shell/unseen_frames.h"
#include "shell/winmain.h"
#include "sound/sound.h"

int g_nDemoMode = 0;

namespace {
uint64_t g_update_steps = 0;
bool g_pause_after_move = false;  // a move while paused: paused again at its first frame
bool g_stepping = false;          // one frame shown from a pause, then paused again
DWORD g_step_from_frame = 0;
UnseenFrames g_unseen;

// The end of the timeline: the demo ends, or with --loop goes back to its start.
void EndOrLoop() {
  if (const std::optional<long> start = LoopStart())
    RequestSeek(*start);
  else
    g_bQuit = 1;
}

// Logs a checked start-up step; a failure also ends the demo once start-up is done.
void Checked(bool ok, const char* step) {
  log_main.status(ok ? "OK" : "ERROR", "%s", step);
  if (!ok) {
    NoteStartupFailure("%s", step);
    g_bQuit = 1;
  }
}
void FailureOnly(bool ok, const char* step) {
  if (!ok) Checked(false, step);
}

// One millisecond of the timeline, and a frame once the steps have caught up with
// the clock; then a spin until the tick count moves on.
void UpdateStep(DemoParts& parts) {
  ++g_update_steps;
  g_nDemoMode = PartAt(g_dwElapsed, g_nDemoMode);
  // This step still runs to its end; a loop then starts again.
  if (TimelineOver(g_dwElapsed)) EndOrLoop();

  DxReadKeyb();
  g_mouse.poll();
  FrameTick();
  UpdatePart(g_nDemoMode, parts);

  if (g_dwFrameTicks > 0) --g_dwFrameTicks;
  if (g_dwFrameTicks == 0) {
    NoteFrameDrawn(g_dwElapsed);
    if (host::FrameUnseen()) {
      g_unseen.Draw(g_nDemoMode, parts, front);
      host::CountUnseenFrame();
    } else {
      g_unseen.Settle(g_nDemoMode, parts, front);
      DrawPart(g_nDemoMode, parts, front);
      LiveConsole& console = TheLiveConsole();
      console.NoteFrame(front);
      console.DrawOver(front);
      TheTimelineBar().Update(g_dwElapsed, false);
      front.blit(primary, nullptr, nullptr);
      console.Restore(front);
      // Only the bottle's frames start from black; the earlier parts build on the
      // picture they left.
      if (g_nDemoMode == kPartCola) front.clear(0);
    }
    ++g_dwFrames;
  }
  while (g_dwFrameTicks == 0) FrameTick();
}
// Everything the timeline changes goes back to how the start left it, and the
// way to `ms` is run unseen as --start runs it, so the frames from there on are
// those of a run started at `ms`.
void Replay(DemoParts& parts, DWORD width, DWORD height, DWORD ms) {
  const bool paused = host::Paused();
  host::SetPaused(false);
  RestartParts(parts, width, height);
  g_unseen = UnseenFrames{};
  demo::ResetTimeline();
  front.clear(0);
  host::RestartPlayback();
  if (ms > 0) host::SkipTo(ms, [] { return g_dwElapsed; });
  g_pause_after_move = paused;
}

// A move asked for since the last step: past the end it is the end.
void TakeSeek(DemoParts& parts, DWORD width, DWORD height) {
  const std::optional<long> to = TakeSeekRequest();
  if (!to) return;
  if (*to > long(kDemoEndMs))
    EndOrLoop();
  else
    Replay(parts, width, height, DWORD(*to));
}

ConsoleActions DriverActions() {
  ConsoleActions a;
  a.demo_time = [] { return g_dwElapsed; };
  a.frames = [] { return g_dwFrames; };
  a.go_to = [](DWORD ms, std::string&) {
    RequestSeek(long(ms));
    TheTimelineBar().Wake();
    return true;
  };
  a.toggle_pause = []() -> std::string {
    if (host::VirtualClockInUse()) return "pause: only in real time (not with --fps)";
    host::SetPaused(!host::Paused());
    TheTimelineBar().Wake();
    return host::Paused() ? "paused" : "running";
  };
  a.quit = [] { PostMessageA(hWnd, WM_CLOSE, 0, 0); };
  return a;
}

// While paused the timeline stands; the bar and the console are shown over the
// picture last shown, and the console still answers.
void PausedFrame() {
  // The picture shown again with the bar over it.
  if (TheTimelineBar().Update(LastFrameDrawnMs(), true) && primary.lock() == DD_OK) primary.unlock();
  TheLiveConsole().DrawOverStill(primary);
  Sleep(10);
}
}  // namespace

uint64_t demo::UpdateStepCount() { return g_update_steps; }

void demo::ResetTimeline() {
  twirl_phase = 0.0f;
  g_fCaptionAngle = 0.0f;
  g_nDemoMode = 0;
  g_bFirstTick = 1;
  g_dwLastTick = g_dwThisTick = g_dwDelta = 0;
  g_dwElapsed = g_dwFrameTicks = g_dwFrames = 0;
  g_update_steps = 0;
}

int demo::main(int argc, char* argv[]) {
  InitTables();
  Checked(InitHwnd() != 0, "InitHwnd()");
  char step[64];
  if (argc == 3) {
    DWORD w = static_cast<DWORD>(std::atoi(argv[0]));
    DWORD h = static_cast<DWORD>(std::atoi(argv[1]));
    DWORD b = static_cast<DWORD>(std::atoi(argv[2]));
    std::snprintf(step, sizeof step, "DxInit(%u,%u,%u)", w, h, b);
    Checked(DxInit(w, h, b) != 0, step);
  } else {
    Checked(DxInit(320, 200, 32) != 0, "DxInit(320,200,32)");
  }
  InitTimer();
  Checked(init_input(), "init_input()");
  std::snprintf(step, sizeof step, "front.create(%u, %u)", g_dwWidth, g_dwHeight);
  Checked(front.create(static_cast<int>(g_dwWidth), static_cast<int>(g_dwHeight)) != 0, step);
  FailureOnly(InitSound(hWnd) >= 0, "InitSound(hWnd)");

  Sound s;
  FailureOnly(s.Init() >= 0, "s.Init()");
  FailureOnly(s.Load("data/rovaraza.xm") >= 0, "s.Load('data/rovaraza.xm')");
  FailureOnly(s.Play(true) >= 0, "s.Play(true)");

  const DWORD parts_width = g_dwWidth, parts_height = g_dwHeight;
  auto parts = std::make_unique<DemoParts>();
  LoadParts(*parts, parts_width, parts_height);
  TheLiveConsole().SetActions(DriverActions());
  g_unseen = UnseenFrames{};
  TakeSeekRequest();  // a move asked for before the start is not this run's
  g_pause_after_move = g_stepping = false;
  TakeStepRequest();

  while (!g_bQuit) {
    MSG message;
    BOOL taken = g_bActive ? PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) : GetMessageA(&message, nullptr, 0, 0);
    if (taken) {
      if (!TranslateAcceleratorA(hWnd, g_hAccel, &message)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
      }
      continue;
    }
    if (!g_bActive) {
      IdleTick();
      WaitMessage();
      continue;
    }
    if (!g_bDisplayReady) {
      DxRestore();
      continue;
    }
    TakeSeek(*parts, parts_width, parts_height);
    if (g_bQuit) break;
    if (TakeStepRequest() && host::Paused()) {
      g_stepping = true;
      g_step_from_frame = g_dwFrames;
      host::SetPaused(false);
    }
    if (host::Paused()) {
      PausedFrame();
      continue;
    }
    UpdateStep(*parts);
    // Between steps, where the player's own pause comes too: within a step the
    // clock must move for the step to end.
    if ((g_pause_after_move && !host::Skipping()) || (g_stepping && g_dwFrames != g_step_from_frame)) {
      g_pause_after_move = g_stepping = false;
      host::SetPaused(true);
    }
  }

  TheLiveConsole().Free();
  TheTimelineBar().Free();
  CloseSound();
  DxReleaseKeyb();
  DxFree();
  double seconds = g_dwElapsed / 1000.0;
  log_main.print("stopped [%.1f]\n", seconds);
  // No time on the clock has no rate: the count alone, not a quotient by zero.
  if (seconds > 0)
    log_main.print("%lu frames in %.2f seconds: %.2f fps\n", static_cast<unsigned long>(g_dwFrames), seconds,
                   g_dwFrames / seconds);
  else
    log_main.print("%lu frames\n", static_cast<unsigned long>(g_dwFrames));
  return 0;
}
