#include "base/user_warning.h"

#include <cstdio>
#include <set>
#include <utility>

namespace {
std::set<std::string>& reported() {
  static std::set<std::string> subjects;
  return subjects;
}
std::function<void(const std::string&)>& echo() {
  static std::function<void(const std::string&)> e;
  return e;
}
}  // namespace

void SetWarningEcho(std::function<void(const std::string&)> e) { echo() = std::move(e); }

void WarnUserOnce(const std::string& subject, const std::string& reason) {
  if (!reported().insert(subject).second) return;
  std::fprintf(stderr, "velmora: %s: %s\n", subject.c_str(), reason.c_str());
  if (echo()) echo()(subject + ": " + reason);
}

void ResetUserWarnings() { reported().clear(); }
