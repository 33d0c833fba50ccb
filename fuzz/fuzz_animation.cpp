// Loads the bytes as a key-frame animation file through the real loader (which
// reads files), then blends and checks what it accepted.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "efx/animation3d.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/velmora-fuzz-animation-" + std::to_string(::getpid()) + ".ult";
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  efx_3d_animation animation;
  if (animation.load(path.c_str())) {
    animation.set_time(150.0f);
    volatile float sum = 0;
    for (DWORD i = 0; i < animation.current->vertex_count && i < animation.next->vertex_count; ++i)
      sum = sum + animation.current->model[i].x + animation.next->model[i].y;
  }
  // A failed reload must leave the loaded animation whole.
  animation.load(path.c_str());
  std::remove(path.c_str());
  return 0;
}
