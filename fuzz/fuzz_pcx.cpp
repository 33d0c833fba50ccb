// Decodes the bytes as a PCX picture, exactly the step the picture loader takes.
#include <cstddef>
#include <cstdint>

#include "image/pcx_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PcxHeader header;
  Picture picture;
  DecodePcx(data, size, header, picture);
  return 0;
}
