#include "image/file_bytes.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
std::string& data_directory() {
  static std::string directory;
  return directory;
}

// The system's reason, in lower case as it reads inside a sentence.
std::string SystemReason(int error) {
  if (error == ENOENT) return "not found";
  std::string text = std::strerror(error);
  if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z') text[0] = char(text[0] - 'A' + 'a');
  return text;
}
}  // namespace

void SetDataDirectory(const std::string& directory) { data_directory() = directory; }

bool ReadFileBytes(const char* path, std::vector<uint8_t>& out, uint64_t max_bytes) {
  std::string ignored;
  return ReadFileBytes(path, out, max_bytes, ignored);
}

bool ReadFileBytes(const char* path, std::vector<uint8_t>& out, uint64_t max_bytes, std::string& why) {
  out.clear();
  if (!path) {
    why = "no file name";
    return false;
  }
  std::string mapped;
  if (!data_directory().empty() && std::strncmp(path, "data/", 5) == 0) {
    mapped = data_directory() + "/" + (path + 5);
    path = mapped.c_str();
  }
  struct stat st;
  if (::stat(path, &st) != 0) {
    why = SystemReason(errno);
    return false;
  }
  if (S_ISDIR(st.st_mode)) {
    why = "is a directory";
    return false;
  }
  FILE* f = std::fopen(path, "rb");
  if (!f) {
    why = SystemReason(errno);
    return false;
  }
  bool ok = std::fseek(f, 0, SEEK_END) == 0;
  long size = ok ? std::ftell(f) : -1;
  ok = ok && size >= 0 && std::fseek(f, 0, SEEK_SET) == 0;
  if (!ok) {
    why = "cannot be read";
  } else if (uint64_t(size) > max_bytes) {
    why = "larger than " + std::to_string(max_bytes) + " bytes";
    ok = false;
  } else {
    out.resize(size_t(size));
    ok = size == 0 || std::fread(out.data(), 1, out.size(), f) == out.size();
    if (!ok) why = "read error";
  }
  std::fclose(f);
  if (!ok) out.clear();
  return ok;
}
