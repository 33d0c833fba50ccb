#include "host/audio_mixer.h"

#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

#include "host/last_error.h"
#include "host/module_music.h"
#include "host/time_source.h"
#include "host/web_page.h"

namespace host::audio {
namespace {

struct Mixer {
  SDL_AudioDeviceID device = 0;
  int users = 0;
  int rate = 44100;
  int frames_per_callback = 1024;
  ModuleMusic* module = nullptr;
  bool held = false;             // silent, with music and buffers standing still
  int pull_rate = 0;             // non-zero: no device; the mixer is read by Pull at this rate
  bool silent_fallback = false;  // no device: play on without sound instead of failing
  bool fell_back = false;        // pulled because no device opened: the next Open tries again
  std::vector<Voice*> voices;
  std::vector<int16_t> module_pcm;
  std::vector<int32_t> sum;
  // The music handed to the device: frames of it since it was set or moved,
  // from `music_origin_s`; when the device last took a buffer.
  uint64_t music_frames = 0;
  double music_origin_s = 0;
  uint64_t last_callback_ns = 0;
  bool simulated_device = false;  // a test plays the device (SimulateDevice)
  std::atomic<uint64_t> callbacks{0};
  std::atomic<uint64_t> worst_ns{0};
};
Mixer& mixer() {
  static auto* m = new Mixer();  // lives past static destruction: the audio thread may still run
  return *m;
}

int16_t Clip(int32_t v) { return int16_t(std::clamp(v, -32768, 32767)); }

// One voice's frames added to the sum, resampled to the device rate (nearest
// frame) and placed between the speakers by its gains.
void MixVoice(Voice& b, int32_t* sum, int frames, int rate) {
  const int channels = std::max(1, b.channels), bytes = std::max(1, b.bytes_per_sample);
  const size_t frame_bytes = size_t(channels) * bytes, total = frame_bytes ? b.data.size() / frame_bytes : 0;
  if (!total || b.rate <= 0) return;
  const double step = double(b.rate) / rate;
  auto sample = [&](size_t frame, int channel) -> int32_t {
    const uint8_t* p = &b.data[frame * frame_bytes + size_t(std::min(channel, channels - 1)) * bytes];
    if (bytes == 1) return (int32_t(p[0]) - 128) << 8;
    return int16_t(p[bytes - 2] | p[bytes - 1] << 8);  // the top 16 bits of wider samples
  };
  for (int i = 0; i < frames && b.playing; ++i) {
    size_t frame = size_t(b.position);
    if (frame >= total) {
      if (!b.looping) {
        b.playing = false;
        b.position = 0;
        break;
      }
      b.position -= double(total);
      frame = size_t(b.position) % total;
    }
    sum[2 * i] += int32_t(sample(frame, 0) * b.gain_left);
    sum[2 * i + 1] += int32_t(sample(frame, 1) * b.gain_right);
    b.position += step;
  }
}

// The next `frames` stereo frames of everything playing, into `out`.
void MixInto(int16_t* out, int frames) {
  Mixer& m = mixer();
  m.sum.assign(size_t(frames) * 2, 0);
  if (m.module && !m.held) {
    m.module_pcm.resize(size_t(frames) * 2);
    size_t got = m.module->Render(m.rate, size_t(frames), m.module_pcm.data());
    for (size_t i = 0; i < got * 2; ++i) m.sum[i] += m.module_pcm[i];
    m.music_frames += uint64_t(frames);
  }
  if (!m.held)
    for (Voice* v : m.voices)
      if (v->playing && !v->lost) MixVoice(*v, m.sum.data(), frames, m.rate);
  for (size_t i = 0; i < m.sum.size(); ++i) out[i] = Clip(m.sum[i]);
}

void Callback(void*, Uint8* stream, int length) {
  const uint64_t start = SDL_GetPerformanceCounter();
  Mixer& m = mixer();
  MixInto(reinterpret_cast<int16_t*>(stream), length / 4);
  m.last_callback_ns = Time().NowNs();
  const uint64_t ns = (SDL_GetPerformanceCounter() - start) * 1000000000ull / SDL_GetPerformanceFrequency();
  m.callbacks++;
  uint64_t worst = m.worst_ns.load();
  while (ns > worst && !m.worst_ns.compare_exchange_weak(worst, ns)) {
  }
}

}  // namespace

bool Open() {
  Mixer& m = mixer();
  if (m.users++ > 0) return true;
  if (m.pull_rate) {
    m.rate = m.pull_rate;
    return true;
  }
  // The sound libraries under SDL print their own complaints when there is no
  // device; the one line below says it instead.
  fflush(stderr);
  const int saved = dup(STDERR_FILENO), null = open("/dev/null", O_WRONLY);
  if (saved >= 0 && null >= 0) dup2(null, STDERR_FILENO);
  bool opened = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  std::string why = opened ? "" : SDL_GetError();
  SDL_AudioSpec want{}, have{};
  if (opened) {
    want.freq = 44100;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    // A web page's audio runs on the page's own thread, between frames: a longer
    // buffer rides out a busy moment there instead of dropping sound.
    want.samples = kInWebPage ? 4096 : 1024;
    want.callback = Callback;
    m.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (!m.device) {
      why = SDL_GetError();
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      opened = false;
    }
  }
  if (saved >= 0) {
    dup2(saved, STDERR_FILENO);
    close(saved);
  }
  if (null >= 0) close(null);
  if (!opened) {
    if (m.silent_fallback) {
      // Played on, silently: the mixer runs without a device and nobody reads it.
      std::fprintf(stderr, "velmora: no sound device: playing without sound\n");
      m.pull_rate = m.rate = kPullRate;
      m.fell_back = true;
      return true;
    }
    SetLastErrorText("no sound device (" + why + ")");
    m.users = 0;
    return false;
  }
  m.rate = have.freq;
  m.frames_per_callback = have.samples;
  return true;
}

void Close() {
  Mixer& m = mixer();
  if (m.users == 0 || --m.users > 0) return;
  if (m.pull_rate) {
    m.module = nullptr;
    m.voices.clear();
    if (m.fell_back) m.pull_rate = 0;
    m.fell_back = false;
    return;
  }
  SDL_CloseAudioDevice(m.device);  // waits for a running callback to finish
  m.device = 0;
  m.module = nullptr;
  m.voices.clear();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool IsOpen() { return mixer().device != 0; }
int Rate() { return mixer().rate; }
void Start() {
  if (mixer().device) SDL_PauseAudioDevice(mixer().device, 0);
}
void Lock() {
  if (mixer().device) SDL_LockAudioDevice(mixer().device);
}
void Unlock() {
  if (mixer().device) SDL_UnlockAudioDevice(mixer().device);
}
void AddVoice(Voice* v) {
  auto& list = mixer().voices;
  if (std::find(list.begin(), list.end(), v) == list.end()) list.push_back(v);
}
void RemoveVoice(Voice* v) {
  auto& list = mixer().voices;
  list.erase(std::remove(list.begin(), list.end(), v), list.end());
}
void SetModule(ModuleMusic* module) {
  Mixer& m = mixer();
  m.module = module;
  m.music_frames = 0;
  m.music_origin_s = 0;
}
void UsePullMode(int rate) { mixer().pull_rate = rate; }
void PlaySilentlyWithoutDevice(bool on) { mixer().silent_fallback = on; }
void Pull(int16_t* out, size_t frames) {
  if (frames) MixInto(out, int(frames));
}
void Hold(bool held) {
  Lock();
  mixer().held = held;
  Unlock();
}
void SeekModule(double seconds) {
  const double requested = seconds;
  Lock();
  Mixer& m = mixer();
  if (m.module) {
    // The music repeats for ever, so a time past its end lies in a later round.
    const double length = m.module->Seconds();
    if (length > 0 && seconds >= length) seconds = std::fmod(seconds, length);
    m.module->MoveTo(seconds);
  }
  m.music_frames = 0;
  m.music_origin_s = requested;
  Unlock();
}
ModuleMusic* Module() { return mixer().module; }

double AssumedLatencyMs() {
  const Mixer& m = mixer();
  return m.rate ? 2000.0 * m.frames_per_callback / m.rate : 0;
}

std::optional<double> HeardMusicMs() {
  Lock();
  Mixer& m = mixer();
  std::optional<double> heard;
  const bool device = m.device != 0 || m.simulated_device;
  // Until two buffers have gone out, nothing handed over has been heard yet.
  const uint64_t latency = 2 * uint64_t(m.frames_per_callback);
  if (device && m.module && !m.held && m.rate > 0 && m.music_frames >= latency && m.last_callback_ns) {
    // The buffer handed over last starts to sound once the one before it has
    // played; between callbacks the device moves on at its rate.
    const uint64_t now = Time().NowNs();
    const double since = now > m.last_callback_ns ? double(now - m.last_callback_ns) * m.rate / 1e9 : 0;
    const double played = std::min(since, double(m.frames_per_callback));
    heard = m.music_origin_s * 1000 + (double(m.music_frames - latency) + played) * 1000 / m.rate;
  }
  Unlock();
  return heard;
}

void SimulateDevice(int rate, int buffer_frames) {
  Mixer& m = mixer();
  m.pull_rate = rate;
  m.rate = rate ? rate : 44100;
  m.frames_per_callback = buffer_frames;
  m.simulated_device = rate != 0;
  m.last_callback_ns = 0;
}

void RunDeviceCallback() {
  Mixer& m = mixer();
  std::vector<int16_t> out(size_t(m.frames_per_callback) * 2);
  MixInto(out.data(), m.frames_per_callback);
  m.last_callback_ns = Time().NowNs();
}

void SetSound(bool mute, bool silent_fallback) {
  if (mute) UsePullMode(kPullRate);
  PlaySilentlyWithoutDevice(silent_fallback);
}

CallbackStats Stats() {
  Mixer& m = mixer();
  return CallbackStats{m.callbacks.load(), m.worst_ns.load() / 1e6,
                       m.rate ? 1000.0 * m.frames_per_callback / m.rate : 0};
}

}  // namespace host::audio
