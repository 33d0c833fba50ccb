// Decodes the bytes as a PCX picture, exactly the step the picture loader takes,
// and checks what came back: a picture of its stated size within the limits and
// in proportion to the bytes, or a refusal with its reason and nothing kept.
#include <cstddef>
#include <cstdint>

#include "image/pcx_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const DecodeLimits limits{uint64_t(1) << 22};
  PcxHeader header;
  Picture picture;
  const DecodeResult result = DecodePcx(data, size, header, picture, limits);
  const uint64_t pixels = picture.pixels.size();
  if (result) {
    if (picture.width <= 0 || picture.height <= 0 || pixels != uint64_t(picture.width) * uint64_t(picture.height) ||
        pixels > limits.max_pixels || pixels > uint64_t(size) * kMaxPcxBytesPerFileByte)
      __builtin_trap();
  } else if (pixels != 0 || !*DecodeErrorText(result.error)) {
    __builtin_trap();
  }
  return 0;
}
