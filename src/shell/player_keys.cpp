#include "shell/player_keys.h"

#include "host/frame_pump.h"
#include "host/playback.h"
#include "winapi/window_extras.h"

namespace {

bool g_text_input = false;

bool TakePlayerKey(const winapi::KeyPress& key) {
  const bool alt_enter = key.virtual_key == VK_RETURN && key.alt;
  const bool snapshot = key.virtual_key == VK_F12;
  const bool pause = (key.virtual_key == 'P' && !g_text_input) || key.virtual_key == VK_PAUSE;
  if (!alt_enter && !snapshot && !pause) {
    // Escape ends a paused demo too: the pause gives way so the message is taken.
    if (key.virtual_key == VK_ESCAPE && key.down) host::SetPaused(false);
    return false;
  }
  if (key.down && !key.repeat) {
    if (alt_enter) winapi::ToggleFullScreen(key.window);
    if (snapshot) host::SaveShownFrame();
    if (pause) host::SetPaused(!host::Paused());
  }
  return true;
}

}  // namespace

void InstallPlayerKeys() { winapi::SetKeyFilter(TakePlayerKey); }

void SetTextInput(bool on) { g_text_input = on; }
bool TextInput() { return g_text_input; }
