#pragma once
// The sound system and the sound object. Placeholder until the music lands: every
// call succeeds and nothing plays.

#include "platform/win32.h"

HRESULT InitSound(HWND window);
HRESULT CloseSound();

class Sound {
 public:
  HRESULT Init();
  HRESULT Load(const char* file_name);
  HRESULT Play(bool loop);
  HRESULT Stop();
};
