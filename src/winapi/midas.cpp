// The module-music calls on libopenmpt, played by the host's audio mixer.
#include "winapi/midas.h"

#include <algorithm>
#include <string>
#include <vector>

#include "host/audio_mixer.h"
#include "host/last_error.h"
#include "image/file_bytes.h"

struct MidasModule {
  openmpt_module* module = nullptr;
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
  int error = 0;
  const char* message = nullptr;
  openmpt_module* m = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), openmpt_log_func_silent, nullptr,
                                                         openmpt_error_func_ignore, nullptr, &error, &message, nullptr);
  if (!m) {
    std::string text = std::string(fileName) + ": not a module this program plays";
    if (message && *message) text += std::string(" (libopenmpt: ") + message + ")";
    host::SetLastErrorText(text);
    openmpt_free_string(message);
    return nullptr;
  }
  openmpt_free_string(message);
  g_library.loaded.push_back(new MidasModule{m});
  return g_library.loaded.back();
}

MIDASmodulePlayHandle MIDASplayModule(MIDASmodule module, int loop) {
  if (!g_library.open || !module) return nullptr;
  g_library.last_loop = loop;
  host::audio::Lock();
  openmpt_module_set_repeat_count(module->module, loop ? -1 : 0);
  openmpt_module_set_position_seconds(module->module, 0);
  host::audio::SetModule(module->module);
  host::audio::Unlock();
  g_library.playback.module = module;
  return &g_library.playback;
}

BOOL MIDASstopModule(MIDASmodulePlayHandle playHandle) {
  if (!playHandle || !playHandle->module) return 0;
  host::audio::Lock();
  if (host::audio::Module() == playHandle->module->module) host::audio::SetModule(nullptr);
  host::audio::Unlock();
  playHandle->module = nullptr;
  return 1;
}

BOOL MIDASfreeModule(MIDASmodule module) {
  if (!module) return 0;
  host::audio::Lock();
  if (host::audio::Module() == module->module) host::audio::SetModule(nullptr);
  host::audio::Unlock();
  if (g_library.playback.module == module) g_library.playback.module = nullptr;
  auto& loaded = g_library.loaded;
  loaded.erase(std::remove(loaded.begin(), loaded.end(), module), loaded.end());
  openmpt_module_destroy(module->module);
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
