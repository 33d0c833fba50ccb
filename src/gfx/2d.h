#pragma once
// The surface bitmap: one drawable surface with its size, colour key and state.

#include <cstdint>
#include <cstring>

#include "winapi/ddraw.h"

class bitmap {
 public:
  bitmap();
  ~bitmap();
  bitmap(const bitmap&) = delete;
  bitmap& operator=(const bitmap&) = delete;

  int create(int width, int height);
  HRESULT create_primary();
  int load(const char* name);  // image/bitmap_load.cpp
  int free();
  void restore();
  int clear(DWORD colour);
  int set_colorkey(DWORD colour);
  HRESULT lock();
  HRESULT unlock();
  HRESULT put_pixel(int px, int py, DWORD colour);
  HRESULT get_pixel(int px, int py, DWORD* out);
  int line(int x1, int y1, int x2, int y2, DWORD colour);
  int blit(bitmap& destination, RECT* sourceRect, RECT* destinationRect);  // gfx/blit.cpp
  int flip();                                                              // gfx/blit.cpp

  bool holds_surface() const { return loaded || created; }

  IDirectDrawSurface7* surface;
  DWORD colorkey[2];
  DDSURFACEDESC2 desc;
  char name[256];
  int x, y;
  int width, height;
  uint8_t loaded;
  uint8_t created;
  uint8_t use_colorkey;
  int blit_error;
};

extern bitmap primary;
extern bitmap front;

// Per-pixel access is the inner loop of several effects, so it stays inline.
inline HRESULT bitmap::put_pixel(int px, int py, DWORD colour) {
  if (px < 0 || px >= width || py < 0 || py >= height) return E_FAIL;
  const DWORD bits = desc.ddpfPixelFormat.dwRGBBitCount;
  uint8_t* p = static_cast<uint8_t*>(desc.lpSurface) + py * desc.lPitch + (px * bits) / 8;
  if (bits == 32) {
    std::memcpy(p, &colour, 4);
  } else {
    for (DWORD i = 0; i < bits / 8 && i < 4; ++i) p[i] = static_cast<uint8_t>(colour >> (8 * i));
  }
  return 0;
}

inline HRESULT bitmap::get_pixel(int px, int py, DWORD* out) {
  if (px < 0 || px >= width || py < 0 || py >= height) return E_FAIL;
  const DWORD bits = desc.ddpfPixelFormat.dwRGBBitCount;
  const uint8_t* p = static_cast<const uint8_t*>(desc.lpSurface) + py * desc.lPitch + (px * bits) / 8;
  if (bits == 32) {
    std::memcpy(out, p, 4);
  } else {
    // Only the pixel's own bytes are replaced; the rest of the receiver stays.
    uint8_t* o = reinterpret_cast<uint8_t*>(out);
    for (DWORD i = 0; i < bits / 8 && i < 4; ++i) o[i] = p[i];
  }
  return 0;
}
