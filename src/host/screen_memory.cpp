#include "host/screen_memory.h"

#include <algorithm>
#include <cstring>

namespace host {
namespace {
// Never destroyed: surfaces of global bitmaps go during static destruction.
std::vector<ScreenMemory*>& lent() {
  static auto* l = new std::vector<ScreenMemory*>();
  return *l;
}
}  // namespace

ScreenMemory::~ScreenMemory() {
  if (lent_) lent().erase(std::remove(lent().begin(), lent().end(), this), lent().end());
}

void ScreenMemory::Replace(ZeroedBytes bytes) {
  TakeBack();
  own_.swap(bytes);
  size_ = own_.size();
}

void ScreenMemory::Lend(Window* window, uint8_t* window_pixels) {
  TakeBack();
  std::memcpy(window_pixels, own_.data(), size_);
  ZeroedBytes().swap(own_);
  lent_ = window_pixels;
  window_ = window;
  lent().push_back(this);
}

void ScreenMemory::TakeBack() {
  if (!lent_) return;
  ZeroedBytes(size_).swap(own_);
  std::memcpy(own_.data(), lent_, size_);
  lent_ = nullptr;
  window_ = nullptr;
  lent().erase(std::remove(lent().begin(), lent().end(), this), lent().end());
}

void ScreenMemory::TakeBackFrom(const Window* window) {
  const std::vector<ScreenMemory*> borrowers = lent();
  for (ScreenMemory* m : borrowers)
    if (m->window_ == window) m->TakeBack();
}

}  // namespace host
