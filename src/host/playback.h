#pragma once
// The picture's clock and the music moving together: the player's pause, the
// way to a start time, and the start again from nothing.

#include <cstdint>
#include <functional>

namespace host {

// Plays from demo time `start_ms` on: the frames before it are drawn (as far as
// later frames read them) and counted by the clock but neither shown nor handed
// to the present hook, and the music waits silent until then and starts at
// start_ms. On the real clock the way
// there runs on a virtual clock of 25 frames a second, as fast as the machine
// allows, and real time takes over at start_ms. `demo_time` reads the demo
// clock; it is asked at every presentation until start_ms is reached.
void SkipTo(uint32_t start_ms, std::function<uint32_t()> demo_time);
// True while frames are being skipped; the first frame at or after start_ms ends
// the skip (and is shown).
bool SkippingFrame();
// Whether the frame at start_ms is still to be shown.
bool Skipping();

// Whether the frame about to be drawn will not be shown: on the way to a start
// time (SkippingFrame), or on the paced clock too late for its refresh. Such a
// frame is still drawn, unseen, as far as later frames read it, then counted by
// CountUnseenFrame in place of a present.
bool FrameUnseen();
void CountUnseenFrame();

// The player's pause: the real clock stands and the music waits until it is
// lifted; a wait on the clock sleeps meanwhile. No effect on a virtual clock,
// whose time moves only with presented frames.
void SetPaused(bool paused);
bool Paused();

// On the paced clock, after every frame shown: the picture follows the music
// being heard (its clock may run at a slightly different speed from the
// system's), `av_offset_ms` ahead of it (SetAvOffset: positive, the sound
// comes later).
void FollowMusic();
void SetAvOffset(double ms);
// The largest difference seen between the picture's time and the music heard
// plus the offset, in ms; 0 before any.
double LargestSoundDifferenceMs();

// Starts the demo's time again from nothing, as at the start of a run: the
// virtual clock's frame count back to 0, no skip, and the music to its
// beginning (the console's goto replays the timeline from there).
void RestartPlayback();

}  // namespace host
