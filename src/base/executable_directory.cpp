#include "base/executable_directory.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <unistd.h>

#include <climits>
#endif

std::filesystem::path ExecutableDirectory() {
#ifdef _WIN32
  wchar_t buf[32768];
  const DWORD n = GetModuleFileNameW(nullptr, buf, DWORD(sizeof buf / sizeof buf[0]));
  if (n == 0 || n >= sizeof buf / sizeof buf[0]) return {};
  return std::filesystem::path(std::wstring(buf, n)).parent_path();
#else
  char buf[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  buf[n] = 0;
  return std::filesystem::path(buf).parent_path();
#endif
}
