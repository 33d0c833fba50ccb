// Parses the bytes as a 3D object file, asking for the first few objects, and
// touches every vertex and face of what it accepts.
#include <cstddef>
#include <cstdint>

#include "efx/object3d.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (uint32_t num = 0; num < 4; ++num) {
    ObjectRecord r;
    if (ParseObject(data, size, num, r) != ObjectParse::Ok) continue;
    volatile uint8_t sum = 0;
    for (size_t i = 0; i < size_t(r.vertex_count) * 12; ++i) sum = sum + r.vertex_bytes[i];
    for (size_t i = 0; i < size_t(r.face_count) * 12; ++i) sum = sum + r.face_bytes[i];
  }
  return 0;
}
