#pragma once
// What a picture decoder found: success, or the reason it refused the bytes.

enum class DecodeError {
  kNone,
  kTruncated,    // the bytes end before the header, palette or pixels they promise
  kNotPicture,   // not a format this decoder reads
  kUnsupported,  // the format, but a variant the program does not read
  kTooLarge,     // a size beyond what the program accepts, or than the bytes can hold
  kCorrupt,      // the pixel data contradicts its own header
};

struct DecodeResult {
  DecodeError error = DecodeError::kNone;
  explicit operator bool() const { return error == DecodeError::kNone; }
};

// A short phrase for messages: "truncated file", "not a picture this program reads", ...
const char* DecodeErrorText(DecodeError error);
