#pragma once
// The nine calls of the module-music library, played by the host's module
// player on its audio thread: the music mixes in the background at the device's
// rate and loops seamlessly from the module's restart position when asked to.

#include "winapi/win32.h"

struct MidasModule;
struct MidasPlayback;
using MIDASmodule = MidasModule*;
using MIDASmodulePlayHandle = MidasPlayback*;

BOOL MIDASstartup();
BOOL MIDASsetOption(int option, uintptr_t value);
// Non-zero when the sound device is open for music.
BOOL MIDASinit();
BOOL MIDASstartBackgroundPlay(DWORD pollRate);
MIDASmodule MIDASloadModule(const char* fileName);
// loop 1 plays the song again from its restart position after its end.
MIDASmodulePlayHandle MIDASplayModule(MIDASmodule module, int loop);
BOOL MIDASstopModule(MIDASmodulePlayHandle playHandle);
BOOL MIDASfreeModule(MIDASmodule module);
BOOL MIDASclose();
