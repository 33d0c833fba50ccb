#include "image/file_bytes.h"

#include <cstdio>

bool ReadFileBytes(const char* path, std::vector<uint8_t>& out, uint64_t max_bytes) {
  out.clear();
  if (!path) return false;
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  bool ok = std::fseek(f, 0, SEEK_END) == 0;
  long size = ok ? std::ftell(f) : -1;
  ok = ok && size >= 0 && uint64_t(size) <= max_bytes && std::fseek(f, 0, SEEK_SET) == 0;
  if (ok) {
    out.resize(size_t(size));
    ok = size == 0 || std::fread(out.data(), 1, out.size(), f) == out.size();
  }
  std::fclose(f);
  if (!ok) out.clear();
  return ok;
}
