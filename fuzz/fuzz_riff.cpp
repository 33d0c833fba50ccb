// Reads the bytes as a RIFF WAVE file: format, data chunk, then all of the data in
// uneven pieces and once more after a reset.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sound/wave_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  wave_file w;
  if (w.open_bytes(data, size) != 0) return 0;
  std::vector<BYTE> buffer(4096);
  for (int pass = 0; pass < 2; ++pass) {
    UINT got = 1;
    for (UINT piece = 1; got > 0; piece = piece * 3 % 4093 + 1)
      if (w.read(piece, buffer.data(), &got) != 0) break;
    w.reset();
  }
  return 0;
}
