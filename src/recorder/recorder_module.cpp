// Loads the recorder module on first use and keeps it for the rest of the run.
#ifndef _WIN32
#include <dlfcn.h>
#endif

#include <filesystem>
#include <string>

#include "base/executable_directory.h"
#include "recorder/video_sink.h"

namespace recorder {
namespace {

constexpr const char* kModule = "velmora-record.so";
using MakeSink = VideoSink* (*)();

// The module's factory, or null with the reason: the places looked in and the
// loader's own words for the last one found but not loadable.
MakeSink Factory(std::string& error) {
  static MakeSink make = nullptr;
  static std::string why;
  static bool tried = false;
  if (!tried) {
    tried = true;
#ifdef _WIN32
    why = "the Windows build does not record (the recorder needs FFmpeg's libraries)";
#else
    const std::filesystem::path here = ExecutableDirectory();
    const std::filesystem::path places[] = {here / kModule, here.parent_path() / kModule,
                                            here.parent_path() / VELMORA_MODULE_DIR / kModule,
                                            here.parent_path() / "lib" / "velmora" / kModule};
    std::string looked;
    for (const std::filesystem::path& p : places) {
      const std::string place = p.lexically_normal().string();
      if (looked.find(place) != std::string::npos) continue;  // the library folder may be lib/ itself
      looked += (looked.empty() ? "" : ", ") + place;
      std::error_code ec;
      if (!std::filesystem::exists(p, ec)) continue;
      void* handle = dlopen(p.c_str(), RTLD_NOW | RTLD_LOCAL);
      if (!handle) {
        const char* reason = dlerror();
        why = p.lexically_normal().string() + " cannot be loaded: " + (reason ? reason : "not a loadable module");
        break;
      }
      make = reinterpret_cast<MakeSink>(dlsym(handle, "velmora_make_video_sink"));
      if (!make) why = p.string() + " is not the recorder module";
      break;
    }
    if (!make && why.empty())
      why = std::string("the recorder module ") + kModule + " is missing (looked in " + looked + ")";
#endif
  }
  if (!make) error = why;
  return make;
}

}  // namespace

bool VideoSinkAvailable(std::string& error) { return Factory(error) != nullptr; }

std::unique_ptr<VideoSink> MakeVideoSink(std::string& error) {
  MakeSink make = Factory(error);
  return make ? std::unique_ptr<VideoSink>(make()) : nullptr;
}

}  // namespace recorder
