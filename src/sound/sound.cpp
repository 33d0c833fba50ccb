#include "sound/sound.h"

HRESULT InitSound(HWND) { return 0; }
HRESULT CloseSound() { return 0; }
HRESULT Sound::Init() { return 0; }
HRESULT Sound::Load(const char*) { return 0; }
HRESULT Sound::Play(bool) { return 0; }
HRESULT Sound::Stop() { return 0; }
