#pragma once
// Little-endian fields of the file formats, read from bytes whatever the host's
// order and alignment.

#include <cstdint>

inline uint16_t ReadLe16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
inline uint32_t ReadLe32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
