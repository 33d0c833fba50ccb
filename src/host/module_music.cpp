#include "host/module_music.h"

#include <libopenmpt/libopenmpt.h>

namespace host::audio {

struct ModuleMusic::Decoder {
  openmpt_module* module;
};

std::unique_ptr<ModuleMusic> ModuleMusic::Load(const std::vector<uint8_t>& bytes, std::string& detail) {
  int error = 0;
  const char* message = nullptr;
  openmpt_module* m = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), openmpt_log_func_silent, nullptr,
                                                         openmpt_error_func_ignore, nullptr, &error, &message, nullptr);
  detail = message && *message ? std::string("libopenmpt: ") + message : std::string();
  openmpt_free_string(message);
  if (!m) return nullptr;
  return std::unique_ptr<ModuleMusic>(new ModuleMusic(new Decoder{m}));
}

ModuleMusic::ModuleMusic(Decoder* decoder) : decoder_(decoder) {}

ModuleMusic::~ModuleMusic() {
  openmpt_module_destroy(decoder_->module);
  delete decoder_;
}

void ModuleMusic::Repeat(bool forever) { openmpt_module_set_repeat_count(decoder_->module, forever ? -1 : 0); }
void ModuleMusic::MoveTo(double seconds) { openmpt_module_set_position_seconds(decoder_->module, seconds); }
double ModuleMusic::Seconds() const { return openmpt_module_get_duration_seconds(decoder_->module); }

size_t ModuleMusic::Render(int rate, size_t frames, int16_t* out) {
  return openmpt_module_read_interleaved_stereo(decoder_->module, rate, frames, out);
}

}  // namespace host::audio
