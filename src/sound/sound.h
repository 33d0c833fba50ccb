#pragma once
// The sound system and the sound object: module music through the module-music
// library, or a RIFF WAVE file through a static 3D sound buffer.

#include "sound/wave_file.h"
#include "winapi/dsound.h"
#include "winapi/midas.h"

extern IDirectSound* g_pDS;
extern uint8_t g_bSoundReady;

HRESULT InitSound(HWND window);
HRESULT CloseSound();

class Sound {
 public:
  ~Sound();
  HRESULT Init();
  HRESULT Load(const char* file_name);
  HRESULT Play(bool loop);
  HRESULT Stop();

  // Wave path.
  IDirectSoundBuffer* buffer = nullptr;
  IDirectSound3DBuffer* buffer3d = nullptr;
  IDirectSound3DListener* listener = nullptr;
  DS3DBUFFER buffer_parameters{};
  DS3DLISTENER listener_parameters{};
  DWORD apply = DS3D_IMMEDIATE;
  DWORD data_size = 0;
  wave_file* wave = nullptr;
  // Module path.
  uint8_t initialised = 0;
  MIDASmodule module = nullptr;
  MIDASmodulePlayHandle play_handle = nullptr;
  uint8_t module_mode = 0;
  uint8_t wave_mode = 0;

 private:
  HRESULT LoadWave(HWND owner, const char* file_name);
  HRESULT FillBuffer();
  HRESULT RestoreBuffer();
  HRESULT PlayWave(bool loop);
  HRESULT StopWave();
  void ReleaseWave();
};
