// DirectSound on the host's audio mixer.
#include "winapi/dsound.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "host/audio_mixer.h"
#include "winapi/testing.h"

// A secondary buffer: a voice of the mixer, with the format and 3D placement it
// was given.
struct SoundBufferState : host::audio::Voice {
  WAVEFORMATEX format{};
  DS3DBUFFER parameters{};
};

namespace {

// Test seam: every buffer's Restore keeps answering that the buffer is lost.
bool g_restore_keeps_failing = false;
std::vector<SoundBufferState*>& AllBuffers() {
  static auto* all = new std::vector<SoundBufferState*>();
  return *all;
}

bool Same(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool PlayableFormat(const WAVEFORMATEX* f) {
  return f && (f->wFormatTag == WAVE_FORMAT_PCM || f->wFormatTag == WAVE_FORMAT_EXTENSIBLE) && f->nChannels >= 1 &&
         f->nChannels <= 8 &&
         (f->wBitsPerSample == 8 || f->wBitsPerSample == 16 || f->wBitsPerSample == 24 || f->wBitsPerSample == 32) &&
         f->nSamplesPerSec >= 100 && f->nSamplesPerSec <= 384000 &&
         f->nBlockAlign == f->nChannels * f->wBitsPerSample / 8;
}

// A head-relative source straight ahead (or at the head) is centred; otherwise
// it is panned by its direction, constant power.
void ApplyPlacement(SoundBufferState& s) {
  const DS3DBUFFER& p = s.parameters;
  float pan = 0;
  const float x = p.vPosition.x, z = p.vPosition.z;
  const float length = std::sqrt(x * x + z * z);
  if (p.dwMode == DS3DMODE_HEADRELATIVE && length > 1e-6f) pan = x / length;
  const float angle = (pan + 1) * 0.25f * 3.14159265f;
  s.gain_left = std::cos(angle) * 1.41421356f;
  s.gain_right = std::sin(angle) * 1.41421356f;
}

}  // namespace

namespace winapi::testing {
void LoseSoundBuffers(bool restore_keeps_failing) {
  g_restore_keeps_failing = restore_keeps_failing;
  host::audio::Lock();
  for (SoundBufferState* s : AllBuffers()) {
    s->lost = true;
    s->playing = false;
    std::fill(s->data.begin(), s->data.end(), 0);  // a lost buffer's memory is gone
  }
  host::audio::Unlock();
}
}  // namespace winapi::testing

HRESULT CoInitialize(void*) { return S_OK; }
void CoUninitialize() {}

HRESULT DirectSoundCreate(GUID*, IDirectSound** out, void*) {
  if (!out) return DSERR_INVALIDPARAM;
  *out = nullptr;
  if (!host::audio::Open()) return DSERR_NODRIVER;
  *out = new IDirectSound();
  return DS_OK;
}

HRESULT IDirectSound::SetCooperativeLevel(HWND, DWORD new_level) {
  level = new_level;
  return DS_OK;
}

HRESULT IDirectSound::CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** out, void*) {
  if (!desc || !out || desc->dwSize < sizeof(DSBUFFERDESC) - sizeof(GUID)) return DSERR_INVALIDPARAM;
  *out = nullptr;
  if (!level) return DSERR_INVALIDCALL;
  if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) {
    auto* b = new IDirectSoundBuffer();
    b->primary = true;
    *out = b;
    return DS_OK;
  }
  if (!PlayableFormat(desc->lpwfxFormat)) return DSERR_BADFORMAT;
  if (desc->dwBufferBytes == 0 || desc->dwBufferBytes > (1u << 30)) return DSERR_INVALIDPARAM;
  auto* state = new (std::nothrow) SoundBufferState();
  if (!state) return DSERR_OUTOFMEMORY;
  state->format = *desc->lpwfxFormat;
  state->channels = state->format.nChannels;
  state->bytes_per_sample = state->format.wBitsPerSample / 8;
  state->rate = int(state->format.nSamplesPerSec);
  state->data.assign(desc->dwBufferBytes, state->format.wBitsPerSample == 8 ? 128 : 0);
  state->parameters.dwSize = sizeof(DS3DBUFFER);
  state->parameters.flMinDistance = 1;
  state->parameters.flMaxDistance = 1e9f;
  ApplyPlacement(*state);
  auto* b = new IDirectSoundBuffer();
  b->state = state;
  AllBuffers().push_back(state);
  host::audio::Lock();
  host::audio::AddVoice(state);
  host::audio::Unlock();
  *out = b;
  return DS_OK;
}

ULONG IDirectSound::Release() {
  host::audio::Close();
  delete this;
  return 0;
}

HRESULT IDirectSoundBuffer::QueryInterface(const GUID& iid, void** out) {
  if (!out) return DSERR_INVALIDPARAM;
  *out = nullptr;
  if (primary && Same(iid, IID_IDirectSound3DListener)) {
    auto* l = new IDirectSound3DListener();
    l->parameters.dwSize = sizeof(DS3DLISTENER);
    l->parameters.vOrientFront = {0, 0, 1};
    l->parameters.vOrientTop = {0, 1, 0};
    l->parameters.flDistanceFactor = l->parameters.flRolloffFactor = l->parameters.flDopplerFactor = 1;
    *out = l;
    return DS_OK;
  }
  if (!primary && state && Same(iid, IID_IDirectSound3DBuffer)) {
    auto* b = new IDirectSound3DBuffer();
    b->state = state;
    *out = b;
    return DS_OK;
  }
  return E_NOINTERFACE;
}

// The device mixes at its own rate; the primary format is kept, as the hardware
// would take it.
HRESULT IDirectSoundBuffer::SetFormat(const WAVEFORMATEX* format) {
  if (!primary) return DSERR_INVALIDCALL;
  return PlayableFormat(format) ? DS_OK : DSERR_BADFORMAT;
}

HRESULT IDirectSoundBuffer::Lock(DWORD offset, DWORD bytes, void** first, DWORD* first_bytes, void** second,
                                 DWORD* second_bytes, DWORD) {
  if (!state || !first || !first_bytes) return DSERR_INVALIDPARAM;
  if (state->lost) return DSERR_BUFFERLOST;
  const size_t size = state->data.size();
  if (offset >= size || bytes > size) return DSERR_INVALIDPARAM;
  // A region that runs past the end wraps to the start, as in a ring buffer.
  const DWORD head = DWORD(std::min<size_t>(bytes, size - offset));
  *first = &state->data[offset];
  *first_bytes = head;
  if (second) *second = head < bytes ? state->data.data() : nullptr;
  if (second_bytes) *second_bytes = bytes - head;
  host::audio::Lock();  // the audio thread waits while the data changes
  return DS_OK;
}

HRESULT IDirectSoundBuffer::Unlock(void*, DWORD, void*, DWORD) {
  if (!state) return DSERR_INVALIDPARAM;
  host::audio::Unlock();
  return DS_OK;
}

HRESULT IDirectSoundBuffer::Play(DWORD, DWORD, DWORD flags) {
  if (!state) return DSERR_INVALIDCALL;
  if (state->lost) return DSERR_BUFFERLOST;
  host::audio::Lock();
  state->playing = true;
  state->looping = (flags & DSBPLAY_LOOPING) != 0;
  host::audio::Unlock();
  host::audio::Start();
  return DS_OK;
}

HRESULT IDirectSoundBuffer::Stop() {
  if (!state) return DSERR_INVALIDCALL;
  host::audio::Lock();
  state->playing = false;
  host::audio::Unlock();
  return DS_OK;
}

HRESULT IDirectSoundBuffer::GetStatus(DWORD* status) {
  if (!status) return DSERR_INVALIDPARAM;
  if (!state) {
    *status = 0;
    return DS_OK;
  }
  host::audio::Lock();
  *status = (state->playing ? DSBSTATUS_PLAYING : 0) | (state->playing && state->looping ? DSBSTATUS_LOOPING : 0) |
            (state->lost ? DSBSTATUS_BUFFERLOST : 0);
  host::audio::Unlock();
  return DS_OK;
}

HRESULT IDirectSoundBuffer::SetCurrentPosition(DWORD position) {
  if (!state) return DSERR_INVALIDCALL;
  const DWORD block = std::max<DWORD>(1, state->format.nBlockAlign);
  if (position >= state->data.size()) return DSERR_INVALIDPARAM;
  host::audio::Lock();
  state->position = double(position / block);
  host::audio::Unlock();
  return DS_OK;
}

HRESULT IDirectSoundBuffer::GetCurrentPosition(DWORD* play, DWORD* write) {
  if (!state) return DSERR_INVALIDCALL;
  host::audio::Lock();
  DWORD bytes = DWORD(state->position) * std::max<DWORD>(1, state->format.nBlockAlign);
  host::audio::Unlock();
  if (play) *play = bytes;
  if (write) *write = bytes;
  return DS_OK;
}

HRESULT IDirectSoundBuffer::GetCaps(DSBCAPS* caps) {
  if (!caps || caps->dwSize < sizeof(DSBCAPS)) return DSERR_INVALIDPARAM;
  caps->dwFlags = primary ? DSBCAPS_PRIMARYBUFFER : (DSBCAPS_STATIC | DSBCAPS_CTRL3D);
  caps->dwBufferBytes = state ? DWORD(state->data.size()) : 0;
  caps->dwUnlockTransferRate = caps->dwPlayCpuOverhead = 0;
  return DS_OK;
}

HRESULT IDirectSoundBuffer::Restore() {
  if (state && g_restore_keeps_failing) return DSERR_BUFFERLOST;
  if (state) {
    host::audio::Lock();
    state->lost = false;
    host::audio::Unlock();
  }
  return DS_OK;
}

ULONG IDirectSoundBuffer::Release() {
  if (state) {
    host::audio::Lock();
    host::audio::RemoveVoice(state);
    host::audio::Unlock();
    auto& all = AllBuffers();
    all.erase(std::remove(all.begin(), all.end(), state), all.end());
    delete state;
  }
  delete this;
  return 0;
}

HRESULT IDirectSound3DListener::GetAllParameters(DS3DLISTENER* out) {
  if (!out || out->dwSize != sizeof(DS3DLISTENER)) return DSERR_INVALIDPARAM;
  *out = parameters;
  return DS_OK;
}

ULONG IDirectSound3DListener::Release() {
  delete this;
  return 0;
}

HRESULT IDirectSound3DBuffer::GetAllParameters(DS3DBUFFER* out) {
  if (!out || out->dwSize != sizeof(DS3DBUFFER) || !state) return DSERR_INVALIDPARAM;
  *out = state->parameters;
  return DS_OK;
}

HRESULT IDirectSound3DBuffer::SetAllParameters(const DS3DBUFFER* in, DWORD) {
  if (!in || in->dwSize != sizeof(DS3DBUFFER) || !state) return DSERR_INVALIDPARAM;
  host::audio::Lock();
  state->parameters = *in;
  ApplyPlacement(*state);
  host::audio::Unlock();
  return DS_OK;
}

ULONG IDirectSound3DBuffer::Release() {
  delete this;
  return 0;
}
