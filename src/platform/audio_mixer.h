#pragma once
// The one SDL audio device and what it mixes: the playing module and the
// secondary sound buffers. Platform-internal; the engine uses dsound.h and
// midas.h.

#include <libopenmpt/libopenmpt.h>

#include <cstdint>
#include <vector>

#include "platform/dsound.h"

struct SoundBufferState {
  std::vector<uint8_t> data;
  WAVEFORMATEX format{};
  bool playing = false;
  bool looping = false;
  bool lost = false;
  double position = 0;  // in frames of the buffer's own format
  DS3DBUFFER parameters{};
  float gain_left = 1, gain_right = 1;
};

namespace platform::audio {

// Opens the device for one more user; false (with the last error text set) when
// there is no sound device. Close gives one user back.
bool Open();
void Close();
bool IsOpen();
int Rate();
void Start();  // starts the callback (devices open paused)

// Everything the callback reads is changed only between Lock and Unlock.
void Lock();
void Unlock();
void AddBuffer(SoundBufferState* buffer);
void RemoveBuffer(SoundBufferState* buffer);
void SetModule(openmpt_module* module);  // null: no music
openmpt_module* Module();
// The rate of a mixer without a device: a recording's sound, or silence.
constexpr int kPullRate = 48000;
// No device: Open succeeds at once and the mixer is read with Pull at `rate`,
// as a recording does in step with its frames. Set before the first Open.
void UsePullMode(int rate);
// Without a sound device, Open succeeds and the demo plays silently (saying so
// once on standard error) instead of failing.
void PlaySilentlyWithoutDevice(bool on);
// The next `frames` interleaved stereo frames of everything playing.
void Pull(int16_t* out, size_t frames);
// While held the mixer is silent and the music and buffers stand still.
void Hold(bool held);
// Moves the music to `seconds` from its start, rounds of its repeats included.
void SeekModule(double seconds);

}  // namespace platform::audio
