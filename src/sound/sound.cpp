#include "sound/sound.h"

#include <algorithm>
#include <new>

#include "app/window_globals.h"

IDirectSound* g_pDS = nullptr;
uint8_t g_bSoundReady = 0;

namespace {
// A restore that keeps failing gives up after this many rounds instead of
// spinning for ever.
constexpr int kRestoreRounds = 100;
}  // namespace

HRESULT InitSound(HWND window) {
  HRESULT r = CoInitialize(nullptr);
  if (r != 0) return r;
  r = DirectSoundCreate(nullptr, &g_pDS, nullptr);
  if (FAILED(r)) return r;
  r = g_pDS->SetCooperativeLevel(window, DSSCL_PRIORITY);
  if (FAILED(r)) return r;
  MIDASstartup();
  MIDASsetOption(6, reinterpret_cast<uintptr_t>(window));
  MIDASsetOption(5, 1);
  if (!MIDASinit()) return E_FAIL;
  g_bSoundReady = 1;
  return 0;
}

HRESULT CloseSound() {
  if (g_pDS) {
    g_pDS->Release();
    g_pDS = nullptr;
  }
  CoUninitialize();
  MIDASclose();
  g_bSoundReady = 0;
  return 0;
}

Sound::~Sound() { ReleaseWave(); }

HRESULT Sound::Init() {
  if (listener) listener->Release();  // a second Init does not leak the first listener
  buffer = nullptr;
  buffer3d = nullptr;
  listener = nullptr;
  data_size = 0;
  delete wave;
  wave = nullptr;
  initialised = 0;
  module = nullptr;
  play_handle = nullptr;
  module_mode = wave_mode = 0;
  if (!g_bSoundReady || !g_pDS) return E_FAIL;
  DSBUFFERDESC desc{};
  desc.dwSize = 36;
  desc.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D;
  IDirectSoundBuffer* primary_buffer = nullptr;
  if (FAILED(g_pDS->CreateSoundBuffer(&desc, &primary_buffer, nullptr))) return E_FAIL;
  if (FAILED(primary_buffer->QueryInterface(IID_IDirectSound3DListener, reinterpret_cast<void**>(&listener)))) {
    primary_buffer->Release();
    return E_FAIL;
  }
  listener_parameters.dwSize = sizeof(DS3DLISTENER);
  listener->GetAllParameters(&listener_parameters);
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = 22050;
  format.wBitsPerSample = 16;
  format.nBlockAlign = format.wBitsPerSample / 8 * format.nChannels;
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  if (FAILED(primary_buffer->SetFormat(&format))) {
    primary_buffer->Release();
    return E_FAIL;
  }
  initialised = 1;
  primary_buffer->Release();
  return 0;
}

HRESULT Sound::Load(const char* file_name) {
  wave_mode = module_mode = 0;
  if (!g_bSoundReady) return E_FAIL;
  if (!initialised) Init();
  if (!initialised) return E_FAIL;
  if (LoadWave(hWnd, file_name) == 0) {
    FillBuffer();
    DSBCAPS caps{};
    caps.dwSize = 20;
    buffer->GetCaps(&caps);
    wave_mode = 1;
    return 0;
  }
  MIDASstartBackgroundPlay(0);
  module = MIDASloadModule(file_name);
  if (!module) return E_FAIL;
  module_mode = 1;
  return 0;
}

HRESULT Sound::Play(bool loop) {
  if (module_mode) {
    if (!module) return E_FAIL;
    play_handle = MIDASplayModule(module, loop ? 1 : 0);
    return play_handle ? 0 : E_FAIL;
  }
  if (wave_mode) return PlayWave(loop);
  return E_FAIL;
}

HRESULT Sound::Stop() {
  if (module_mode) {
    MIDASstopModule(play_handle);
    MIDASfreeModule(module);
    module = nullptr;
    play_handle = nullptr;
    module_mode = 0;
    return 0;
  }
  if (wave_mode) return StopWave();
  return E_FAIL;
}

HRESULT Sound::LoadWave(HWND owner, const char* file_name) {
  delete wave;
  wave = nullptr;
  if (buffer3d) buffer3d->Release();
  buffer3d = nullptr;
  if (buffer) buffer->Release();
  buffer = nullptr;
  wave = new (std::nothrow) wave_file();
  if (!wave || FAILED(wave->open(file_name))) return E_FAIL;
  DSBUFFERDESC desc{};
  desc.dwSize = 36;
  desc.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRL3D;
  desc.dwBufferBytes = wave->data_chunk.cksize;
  desc.lpwfxFormat = wave->format;
  HRESULT r = g_pDS->CreateSoundBuffer(&desc, &buffer, nullptr);
  if (FAILED(r)) return r;
  if (r == DS_NO_VIRTUALIZATION)
    MessageBoxA(owner,
                "The 3D virtualization algorithm requested is not supported under this operating system.  It is "
                "available only on Win2000, and Win98 SE with WDM drivers and beyond.  Creating buffer with no "
                "virtualization.",
                "DirectSound Sample", MB_OK);
  r = buffer->QueryInterface(IID_IDirectSound3DBuffer, reinterpret_cast<void**>(&buffer3d));
  if (FAILED(r)) return r;
  data_size = desc.dwBufferBytes;
  buffer_parameters.dwSize = sizeof(DS3DBUFFER);
  buffer3d->GetAllParameters(&buffer_parameters);
  buffer_parameters.dwMode = DS3DMODE_HEADRELATIVE;
  buffer3d->SetAllParameters(&buffer_parameters, apply);
  return 0;
}

HRESULT Sound::FillBuffer() {
  if (!wave || !buffer) return E_FAIL;
  BYTE* block = new (std::nothrow) BYTE[wave->data_chunk.cksize ? wave->data_chunk.cksize : 1];
  if (!block) return E_OUTOFMEMORY;
  UINT got = 0;
  HRESULT r = wave->read(wave->data_chunk.cksize, block, &got);
  if (FAILED(r)) {
    delete[] block;
    return r;
  }
  wave->reset();
  void* first = nullptr;
  DWORD first_bytes = 0;
  r = buffer->Lock(0, data_size, &first, &first_bytes, nullptr, nullptr, 0);
  if (FAILED(r)) {
    delete[] block;
    return r;
  }
  std::copy(block, block + std::min<DWORD>(data_size, std::min<DWORD>(first_bytes, got)), static_cast<BYTE*>(first));
  buffer->Unlock(first, first_bytes, nullptr, 0);
  delete[] block;
  return 0;
}

HRESULT Sound::RestoreBuffer() {
  if (!buffer) return 0;
  DWORD status = 0;
  HRESULT r = buffer->GetStatus(&status);
  if (FAILED(r)) return r;
  if (!(status & DSBSTATUS_BUFFERLOST)) return 0;
  for (int round = 0;; ++round) {
    if (round == kRestoreRounds) return DSERR_BUFFERLOST;
    r = buffer->Restore();
    if (r == DSERR_BUFFERLOST) Sleep(10);
    if (SUCCEEDED(buffer->Restore())) break;
  }
  return FillBuffer();
}

HRESULT Sound::PlayWave(bool loop) {
  if (!buffer) return E_FAIL;
  HRESULT r = RestoreBuffer();
  if (FAILED(r)) return r;
  DWORD status = 0;
  r = buffer->GetStatus(&status);
  if (FAILED(r)) return r;
  if (status & DSBSTATUS_PLAYING) {  // a playing buffer is rewound, not started again
    buffer->SetCurrentPosition(0);
    return 0;
  }
  r = buffer->Play(0, 0, loop ? DSBPLAY_LOOPING : 0);
  return FAILED(r) ? r : 0;
}

HRESULT Sound::StopWave() {
  if (!buffer) return E_FAIL;
  buffer->Stop();
  buffer->SetCurrentPosition(0);
  wave_mode = 0;
  return 0;
}

// Everything the object holds goes with it, whichever mode it ended in, so that
// nothing leaks when the music path was taken.
void Sound::ReleaseWave() {
  delete wave;
  wave = nullptr;
  if (listener) listener->Release();
  listener = nullptr;
  if (buffer3d) buffer3d->Release();
  buffer3d = nullptr;
  if (buffer) buffer->Release();
  buffer = nullptr;
}
