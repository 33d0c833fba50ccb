#pragma once
// The one audio device and what it mixes: the playing module and the
// voices (the sound buffers of the old sound calls).

#include <cstdint>
#include <optional>
#include <vector>

namespace host::audio {

class ModuleMusic;

// One sound played beside the music: PCM frames of its own rate, channels and
// sample width (8-bit samples unsigned, wider ones signed little-endian),
// resampled to the device rate and placed between the speakers by its gains.
struct Voice {
  std::vector<uint8_t> data;
  int channels = 1;
  int bytes_per_sample = 2;
  int rate = 22050;
  bool playing = false;
  bool looping = false;
  bool lost = false;
  double position = 0;  // in frames of the voice's own format
  float gain_left = 1, gain_right = 1;
};

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
void AddVoice(Voice* voice);
void RemoveVoice(Voice* voice);
void SetModule(ModuleMusic* module);  // null: no music
ModuleMusic* Module();
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

// Where the music being heard is, in ms from its start (rounds of its repeats
// counted on): the music handed to the device, less the two buffers assumed to
// be in the device ahead of the speaker, plus the time since the device took
// the last one. None without a device, music, or while held.
std::optional<double> HeardMusicMs();
// The device's latency that HeardMusicMs assumes: two of the buffers it granted.
double AssumedLatencyMs();

// Tests: a sound device of `rate` taking `buffer_frames` at a time, played by
// calling RunDeviceCallback when the test's time says it takes a buffer; rate 0
// ends it. Set before the first Open.
void SimulateDevice(int rate, int buffer_frames);
void RunDeviceCallback();

// Sound for a run: `mute` plays without opening a device; otherwise
// `silent_fallback` plays silently, with one line on standard error, when no
// sound device can be opened.
void SetSound(bool mute, bool silent_fallback);

// How the audio callback has kept up: its worst run against the time its buffer
// lasts.
struct CallbackStats {
  uint64_t callbacks;
  double worst_ms;
  double buffer_ms;
};
CallbackStats Stats();

}  // namespace host::audio
