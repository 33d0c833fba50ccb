#include "host/last_error.h"

#include <utility>

namespace host {
namespace {
std::string& last_error() {
  static std::string text;
  return text;
}
}  // namespace

void SetLastErrorText(std::string text) { last_error() = std::move(text); }
const std::string& LastErrorText() { return last_error(); }

}  // namespace host
