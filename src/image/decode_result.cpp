#include "image/decode_result.h"

const char* DecodeErrorText(DecodeError error) {
  switch (error) {
    case DecodeError::kNone: return "ok";
    case DecodeError::kTruncated: return "truncated file";
    case DecodeError::kNotPicture: return "not a picture this program reads";
    case DecodeError::kUnsupported: return "a kind of picture this program does not read";
    case DecodeError::kTooLarge: return "picture too large";
    case DecodeError::kCorrupt: return "corrupt picture data";
  }
  return "unknown error";
}
