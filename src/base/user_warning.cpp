#include "base/user_warning.h"

#include <cstdio>
#include <set>

namespace {
std::set<std::string>& reported() {
  static std::set<std::string> subjects;
  return subjects;
}
}  // namespace

void WarnUserOnce(const std::string& subject, const std::string& reason) {
  if (!reported().insert(subject).second) return;
  std::fprintf(stderr, "velmora: %s: %s\n", subject.c_str(), reason.c_str());
}

void ResetUserWarnings() { reported().clear(); }
