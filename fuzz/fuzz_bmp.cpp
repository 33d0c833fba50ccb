// Decodes the bytes as a BMP picture and discards the result.
#include <cstddef>
#include <cstdint>

#include "image/bmp_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Picture picture;
  DecodeBmp(data, size, picture);
  return 0;
}
