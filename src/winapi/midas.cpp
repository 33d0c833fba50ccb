// The module-music calls on the host's module music, played by its audio mixer.
#include "winapi/midas.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "host/audio_mixer.h"
#include "host/last_error.h"
#include "host/module_music.h"
#include "image/file_bytes.h"

struct MidasModule {
  std::unique_ptr<host::audio::ModuleMusic> music;
};
struct MidasPlayback {
  MidasModule* module = nullptr;
};

namespace {

struct Library {
  bool started = false;
  bool open = false;
  MidasPlayback playback;  // one module plays at a time
  std::vector<MidasModule*> loaded;
  int last_loop = -1;
};
Library g_library;

}  // namespace

namespace winapi::testing {
int LastModuleLoopFlag() { return g_library.last_loop; }
}  // namespace winapi::testing

BOOL MIDASstartup() {
  g_library.started = true;
  return 1;
}

BOOL MIDASsetOption(int, uintptr_t) { return 1; }

BOOL MIDASinit() {
  if (!g_library.started) return 0;
  if (g_library.open) return 1;
  g_library.open = host::audio::Open();
  return g_library.open ? 1 : 0;
}

BOOL MIDASstartBackgroundPlay(DWORD) {
  if (!g_library.open) return 0;
  host::audio::Start();
  return 1;
}

MIDASmodule MIDASloadModule(const char* fileName) {
  if (!g_library.open) return nullptr;
  std::vector<uint8_t> bytes;
  std::string why;
  if (!ReadFileBytes(fileName, bytes, uint64_t(256) << 20, why)) {
    host::SetLastErrorText(std::string(fileName ? fileName : "") + ": " + why);
    return nullptr;
  }
  std::string detail;
  std::unique_ptr<host::audio::ModuleMusic> music = host::audio::ModuleMusic::Load(bytes, detail);
  if (!music) {
    std::string text = std::string(fileName) + ": not a module this program plays";
    if (!detail.empty()) text += " (" + detail + ")";
    host::SetLastErrorText(text);
    return nullptr;
  }
  g_library.loaded.push_back(new MidasModule{std::move(music)});
  return g_library.loaded.back();
}

MIDASmodulePlayHandle MIDASplayModule(MIDASmodule module, int loop) {
  if (!g_library.open || !module) return nullptr;
  g_library.last_loop = loop;
  host::audio::Lock();
  module->music->Repeat(loop != 0);
  module->music->MoveTo(0);
  host::audio::SetModule(module->music.get());
  host::audio::Unlock();
  g_library.playback.module = module;
  return &g_library.playback;
}

BOOL MIDASstopModule(MIDASmodulePlayHandle playHandle) {
  if (!playHandle || !playHandle->module) return 0;
  host::audio::Lock();
  if (host::audio::Module() == playHandle->module->music.get()) host::audio::SetModule(nullptr);
  host::audio::Unlock();
  playHandle->module = nullptr;
  return 1;
}

BOOL MIDASfreeModule(MIDASmodule module) {
  if (!module) return 0;
  host::audio::Lock();
  if (host::audio::Module() == module->music.get()) host::audio::SetModule(nullptr);
  host::audio::Unlock();
  if (g_library.playback.module == module) g_library.playback.module = nullptr;
  auto& loaded = g_library.loaded;
  loaded.erase(std::remove(loaded.begin(), loaded.end(), module), loaded.end());
  delete module;
  return 1;
}

// Closing ends all playback; modules still loaded are freed with the library.
BOOL MIDASclose() {
  while (!g_library.loaded.empty()) MIDASfreeModule(g_library.loaded.back());
  if (g_library.open) host::audio::Close();
  g_library = Library{};
  return 1;
}
