#pragma once
// Settings and seams of the platform layer that the Windows calls have no room
// for: the clock source, the presentation mode, the frame-capture hook and a
// readable text for the most recent failure. Set by the executable's entry and
// by tests; the engine itself never calls these.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/picture_geometry.h"
#include "platform/win32.h"

namespace platform {

// The real tick count, moving in steps of `system_tick_ms` (10 by default).
void UseRealClock(DWORD system_tick_ms = 10);
// A virtual clock that moves only when a frame is presented, by 1000/fps ms spread
// evenly (fps 60 gives 16, 17, 17, 16, ...), so runs are deterministic and as fast
// as the machine allows.
void UseVirtualClock(unsigned fps);
// A clock that stands at `value` until set again (tests).
void UseManualClock(DWORD value);
bool VirtualClockInUse();
// How often a read of the real tick count slept until the tick moved.
uint64_t TickSleeps();
// Called by the presentation of every frame; moves the virtual clock.
void AdvanceClockForPresentedFrame();

// Plays from demo time `start_ms` on: the frames before it are drawn and counted
// by the clock as usual but neither shown nor handed to the present hook, and the
// music waits silent until then and starts at start_ms. On the real clock the way
// there runs on a virtual clock of 25 frames a second, as fast as the machine
// allows, and real time takes over at start_ms. `demo_time` reads the demo
// clock; it is asked at every presentation until start_ms is reached.
void SkipTo(DWORD start_ms, std::function<DWORD()> demo_time);
// True while frames are being skipped; the first frame at or after start_ms ends
// the skip (and is shown).
bool SkippingFrame();

// The player's pause (P, Pause, or the console): the real clock stands and the
// music waits until it is lifted; a wait on the clock sleeps meanwhile. No effect
// on a virtual clock, whose time moves only with presented frames.
void SetPaused(bool paused);
bool Paused();

// Starts the demo's time again from nothing, as at the start of a run: the
// virtual clock's frame count back to 0 and the music to its beginning (the
// console's goto replays the timeline from there).
void RestartClock();

// While on, P is a key the program types rather than the pause key (a console
// is taking text).
void SetTextInput(bool on);
bool TextInput();

// Sound: `mute` plays without opening a device; otherwise `silent_fallback` plays
// silently, with one line on standard error, when no sound device can be opened.
void SetSound(bool mute, bool silent_fallback);

// How the picture is placed in the window (default: the 4:3 shape, largest fit).
void SetPictureRules(Aspect aspect, Scale scale);
Aspect PictureAspect();
Scale PictureScale();

// How the picture is filtered when scaled: nearest neighbour; sharp (nearest to
// the largest whole multiple, then linear to the final size: crisp pixels of even
// widths); or linear.
enum class Filter { kNearest, kSharp, kLinear };
// Where the window's picture is scaled: the GPU through SDL's accelerated
// renderer, the CPU into the window's surface, or (auto) the GPU when it is a
// real one and not a software OpenGL.
enum class Renderer { kAuto, kGpu, kCpu };
void SetPresentation(Filter filter, Renderer renderer, bool vsync);
Filter PictureFilter();
Renderer ChosenRenderer();
bool Vsync();
// Whether a window presents through the GPU renderer.
bool PresentingOnGpu();

// Whether presented frames are drawn into the window (the default). A recording
// turns it off: the frames go to the file only.
void SetPresentToWindow(bool on);
bool PresentToWindow();

// Windows open on the whole desktop (full screen) by default, or as ordinary
// windows of the given size.
// A size of 0 x 0 sizes the window to the picture once the display mode is set:
// the largest whole multiple of it (by the aspect rule) that fits 90 % of the
// desktop.
void SetWindowed(bool windowed, int width = 0, int height = 0);
bool Windowed();

// Pixels of a presented frame in the display mode's own format.
struct PresentedFrame {
  const uint8_t* pixels;
  int width;
  int height;
  int pitch;
  int bits_per_pixel;
};
using PresentHook = std::function<void(const PresentedFrame&)>;
// Called after every presentation of the primary surface; empty to remove.
void SetPresentHook(PresentHook hook);
void CallPresentHook(const PresentedFrame& frame);
// Called with the frame on the screen when the player presses F12.
void SetSnapshotHook(PresentHook hook);
void CallSnapshotHook(const PresentedFrame& frame);

// A readable description of the latest failure of a platform call (for the
// one-line start-up error), such as "not a mode this program shows (16, 24 or
// 32 bits)".
void SetLastErrorText(std::string text);
const std::string& LastErrorText();

// How the audio callback has kept up: its worst run against the time its buffer
// lasts.
struct AudioCallbackStats {
  uint64_t callbacks;
  double worst_ms;
  double buffer_ms;
};
AudioCallbackStats AudioStats();

// Destroys every window and shuts SDL down; the process's last platform call.
void Shutdown();

}  // namespace platform
