#pragma once
// The pixels of a surface. They live in memory of their own, given by calloc so
// that pages nothing has written stay the system's shared zero pages; a screen
// its window shows one for one may lend itself the window's surface instead,
// so that the copy onto the screen is a frame's only copy and its own memory
// is not held meanwhile.

#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

namespace host {

struct Window;

// An allocator whose memory starts as zero and whose elements are never
// initialised: calloc's zero is the value.
template <class T>
struct ZeroedAllocator {
  using value_type = T;
  ZeroedAllocator() = default;
  template <class U>
  ZeroedAllocator(const ZeroedAllocator<U>&) {}
  T* allocate(size_t n) {
    if (void* p = std::calloc(n, sizeof(T))) return static_cast<T*>(p);
    throw std::bad_alloc();
  }
  void deallocate(T* p, size_t) { std::free(p); }
  template <class U>
  void construct(U*) noexcept {}
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
  template <class U>
  bool operator==(const ZeroedAllocator<U>&) const {
    return true;
  }
};
using ZeroedBytes = std::vector<uint8_t, ZeroedAllocator<uint8_t>>;

class ScreenMemory {
 public:
  ScreenMemory() = default;
  ~ScreenMemory();
  ScreenMemory(const ScreenMemory&) = delete;
  ScreenMemory& operator=(const ScreenMemory&) = delete;

  uint8_t* data() { return lent_ ? lent_ : own_.data(); }
  const uint8_t* data() const { return lent_ ? lent_ : own_.data(); }
  size_t size() const { return size_; }
  // Takes `bytes` as the pixels (after taking back any lent memory).
  void Replace(ZeroedBytes bytes);

  bool Lent() const { return lent_ != nullptr; }
  bool LentTo(const Window* window) const { return lent_ && window_ == window; }
  // Moves the pixels into `window_pixels`, the window's own surface of the same
  // layout; they stay there until taken back, and the memory of their own is
  // given back meanwhile (a frame buffer less for as long as the window shows
  // them one for one).
  void Lend(Window* window, uint8_t* window_pixels);
  void TakeBack();
  // Every memory lent to this window takes its pixels back: before the window is
  // resized, switched or destroyed.
  static void TakeBackFrom(const Window* window);

 private:
  ZeroedBytes own_;
  size_t size_ = 0;
  uint8_t* lent_ = nullptr;
  const Window* window_ = nullptr;
};

}  // namespace host
