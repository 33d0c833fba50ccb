// DirectDraw display objects and surfaces in memory, shown in the host's window.
//
// A display object emulates any mode from 1 x 1 to 8192 x 8192 at 16, 24 or 32
// bits per pixel; its primary surface is scaled into the window with the aspect
// ratio kept. Surfaces of a released display object keep their pixels but refuse
// every use until the next display object sets a mode, which adopts them and
// converts them to its pixel format (the F8 key re-creates the display under
// surfaces that the program keeps).
#include "winapi/ddraw.h"

#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include "host/frame_pump.h"
#include "host/last_error.h"
#include "host/window_shape.h"
#include "winapi/gdi.h"
#include "winapi/internal.h"
#include "winapi/pixels.h"
#include "winapi/surface_pixels.h"
#include "winapi/testing.h"

namespace winapi {
namespace {

constexpr int kMaxModeSide = 8192;
// Off-screen surfaces are refused past this many bytes rather than allocated.
constexpr uint64_t kMaxSurfaceBytes = uint64_t(1) << 30;

// Never destroyed: surfaces of global bitmaps are released during static
// destruction, after any function-local registry would be gone.
std::vector<IDirectDraw7*>& displays() {
  static auto* d = new std::vector<IDirectDraw7*>();
  return *d;
}
std::vector<IDirectDrawSurface7*>& orphans() {
  static auto* o = new std::vector<IDirectDrawSurface7*>();
  return *o;
}
HRESULT g_injected_blt_result = DD_OK;

void ConvertSurface(IDirectDrawSurface7& s, int bytes_per_pixel) {
  if (s.bytes_per_pixel == bytes_per_pixel) return;
  s.pixels->TakeBack();
  LONG pitch = (s.width * bytes_per_pixel + 3) & ~3;
  host::ZeroedBytes converted(size_t(pitch) * s.height);
  for (int y = 0; y < s.height; ++y) {
    const uint8_t* from = s.Bytes() + size_t(y) * s.pitch;
    uint8_t* to = &converted[size_t(y) * pitch];
    for (int x = 0; x < s.width; ++x) {
      uint8_t r, g, b;
      RgbFromPixel(s.bytes_per_pixel, LoadPixel(from + x * s.bytes_per_pixel, s.bytes_per_pixel), r, g, b);
      StorePixel(to + x * bytes_per_pixel, bytes_per_pixel, PixelFromRgb(bytes_per_pixel, r, g, b));
    }
  }
  if (s.has_colorkey) {
    uint8_t r, g, b;
    RgbFromPixel(s.bytes_per_pixel, s.colorkey, r, g, b);
    s.colorkey = PixelFromRgb(bytes_per_pixel, r, g, b);
  }
  s.pixels->Replace(std::move(converted));
  s.untouched = false;
  s.pitch = pitch;
  s.bytes_per_pixel = bytes_per_pixel;
}

void FillDesc(const IDirectDrawSurface7& s, DDSURFACEDESC2* desc, bool with_pixels) {
  desc->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
  desc->dwWidth = static_cast<DWORD>(s.width);
  desc->dwHeight = static_cast<DWORD>(s.height);
  desc->lPitch = s.pitch;
  desc->ddsCaps.dwCaps = s.primary ? DDSCAPS_PRIMARYSURFACE : DDSCAPS_OFFSCREENPLAIN;
  DDPIXELFORMAT& pf = desc->ddpfPixelFormat;
  pf.dwSize = sizeof(DDPIXELFORMAT);
  pf.dwFlags = 0x40;  // DDPF_RGB
  pf.dwRGBBitCount = static_cast<DWORD>(s.bytes_per_pixel * 8);
  if (s.bytes_per_pixel == 2) {
    pf.dwRBitMask = 0xF800, pf.dwGBitMask = 0x07E0, pf.dwBBitMask = 0x001F;
  } else {
    pf.dwRBitMask = 0xFF0000, pf.dwGBitMask = 0x00FF00, pf.dwBBitMask = 0x0000FF;
  }
  if (with_pixels) {
    desc->dwFlags |= DDSD_LPSURFACE;
    desc->lpSurface = const_cast<uint8_t*>(s.Bytes());
  }
}

bool InsideSurface(const RECT& r, const IDirectDrawSurface7& s) {
  return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom && r.right <= s.width &&
         r.bottom <= s.height;
}

void Fill(IDirectDrawSurface7& s, const RECT& r, DWORD colour) {
  const int bpp = s.bytes_per_pixel;
  const size_t n = size_t(r.right - r.left) * bpp;
  // One row of the colour, in the surface's own bytes, to copy and compare.
  std::vector<uint8_t> filled_row(n);
  for (size_t x = 0; x < n; x += bpp) StorePixel(&filled_row[x], bpp, colour);
  // A frame cleared every time is mostly that colour already (the bottle's lines
  // cross a few rows), and reading a row costs less than writing it back: rows
  // that already hold only the colour are left alone.
  for (LONG y = r.top; y < r.bottom; ++y) {
    uint8_t* row = s.Bytes() + size_t(y) * s.pitch + size_t(r.left) * bpp;
    if (std::memcmp(row, filled_row.data(), n) != 0) std::memcpy(row, filled_row.data(), n);
  }
}

// Nearest-neighbour copy of S onto D (D may be larger or smaller), skipping source
// pixels equal to `key` when `use_key` is set. The source may be the destination:
// its rectangle is read whole before anything is written.
void Copy(IDirectDrawSurface7& dst, const RECT& D, const IDirectDrawSurface7& src, const RECT& S, bool use_key,
          DWORD key) {
  const int bpp = dst.bytes_per_pixel;
  const int sw = S.right - S.left, sh = S.bottom - S.top;
  const int dw = D.right - D.left, dh = D.bottom - D.top;
  const uint8_t* src_base = src.Bytes();
  LONG src_pitch = src.pitch;
  int sx0 = S.left, sy0 = S.top;
  std::vector<uint8_t> snapshot;
  if (&dst == &src) {
    snapshot.resize(size_t(sw) * sh * bpp);
    for (int y = 0; y < sh; ++y)
      std::memcpy(&snapshot[size_t(y) * sw * bpp], src_base + size_t(S.top + y) * src_pitch + size_t(S.left) * bpp,
                  size_t(sw) * bpp);
    src_base = snapshot.data();
    src_pitch = sw * bpp;
    sx0 = sy0 = 0;
  }
  if (sw == dw && sh == dh && !use_key) {
    // Whole rows of surfaces without padding are one block: one copy instead of a
    // row at a time, which is what libc copies fastest.
    const size_t row = size_t(dw) * bpp;
    if (src_pitch == dst.pitch && size_t(dst.pitch) == row) {
      std::memcpy(dst.Bytes() + size_t(D.top) * row, src_base + size_t(sy0) * row, row * size_t(dh));
      return;
    }
    for (int y = 0; y < dh; ++y)
      std::memcpy(dst.Bytes() + size_t(D.top + y) * dst.pitch + size_t(D.left) * bpp,
                  src_base + size_t(sy0 + y) * src_pitch + size_t(sx0) * bpp, size_t(dw) * bpp);
    return;
  }
  std::vector<int> column(dw);
  for (int x = 0; x < dw; ++x) column[x] = sx0 + int(int64_t(x) * sw / dw);
  const uint8_t* previous_from = nullptr;
  const uint8_t* previous_to = nullptr;
  for (int y = 0; y < dh; ++y) {
    const uint8_t* from = src_base + size_t(sy0 + int64_t(y) * sh / dh) * src_pitch;
    uint8_t* to = dst.Bytes() + size_t(D.top + y) * dst.pitch + size_t(D.left) * bpp;
    // An enlarged row that repeats the source row above is the row above, copied
    // whole (with a key the row keeps what it had, so it is drawn pixel by pixel).
    if (!use_key && from == previous_from) {
      std::memcpy(to, previous_to, size_t(dw) * bpp);
      continue;
    }
    previous_from = from;
    previous_to = to;
    if (bpp == 4) {
      const uint32_t* f = reinterpret_cast<const uint32_t*>(from);
      uint32_t* t = reinterpret_cast<uint32_t*>(to);
      if (use_key) {
        for (int x = 0; x < dw; ++x)
          if (f[column[x]] != key) t[x] = f[column[x]];
      } else {
        for (int x = 0; x < dw; ++x) t[x] = f[column[x]];
      }
    } else {
      for (int x = 0; x < dw; ++x) {
        DWORD v = LoadPixel(from + size_t(column[x]) * bpp, bpp);
        if (!use_key || v != key) StorePixel(to + size_t(x) * bpp, bpp, v);
      }
    }
  }
}

}  // namespace

// The newest display's screen, as shown (F12).
std::optional<host::PresentedFrame> ShownFrame() {
  if (displays().empty() || !displays().back()->primary) return std::nullopt;
  const IDirectDrawSurface7& p = *displays().back()->primary;
  return host::PresentedFrame{p.Bytes(), p.width, p.height, p.pitch, p.bytes_per_pixel * 8};
}

// Every surface of every live display object loses its memory, as DirectDraw
// surfaces do when an exclusive full-screen program is minimised.
void MarkAllSurfacesLost() {
  for (IDirectDraw7* d : displays())
    for (IDirectDrawSurface7* s : d->surfaces) s->lost = true;
}

// The screen's frame is finished: the host takes it from here.
void Present(IDirectDraw7& display) {
  IDirectDrawSurface7* p = display.primary;
  if (!p) return;
  host::PresentFrame(detail::HostWindowOf(display.window), *p->pixels, p->width, p->height, int(p->pitch),
                     p->bytes_per_pixel);
}

namespace testing {
void FailNextBlt(HRESULT result) { g_injected_blt_result = result; }
}  // namespace testing

}  // namespace winapi

IDirectDrawSurface7::IDirectDrawSurface7() : pixels(std::make_unique<winapi::SurfacePixels>()) {}
IDirectDrawSurface7::~IDirectDrawSurface7() = default;
uint8_t* IDirectDrawSurface7::Bytes() { return pixels->data(); }
const uint8_t* IDirectDrawSurface7::Bytes() const { return pixels->data(); }

using namespace winapi;

HRESULT DirectDrawCreateEx(GUID*, void** directDraw, const GUID&, void*) {
  if (!directDraw) return DDERR_INVALIDPARAMS;
  static const bool linked = [] {
    detail::AddMinimiseObserver(MarkAllSurfacesLost);
    host::SetShownFrameSource(ShownFrame);
    return true;
  }();
  (void)linked;
  auto* d = new IDirectDraw7();
  displays().push_back(d);
  *directDraw = d;
  return DD_OK;
}

HRESULT IDirectDraw7::SetCooperativeLevel(HWND w, DWORD flags) {
  if ((flags & DDSCL_EXCLUSIVE) && !w) return DDERR_NOHWND;
  window = w;
  cooperative_flags = flags;
  return DD_OK;
}

HRESULT IDirectDraw7::SetDisplayMode(DWORD w, DWORD h, DWORD bits, DWORD, DWORD) {
  if (w < 1 || h < 1 || w > kMaxModeSide || h > kMaxModeSide || (bits != 16 && bits != 24 && bits != 32)) {
    host::SetLastErrorText(bits != 16 && bits != 24 && bits != 32
                               ? "not a mode this program shows (16, 24 or 32 bits)"
                               : "not a mode this program shows (1 to " + std::to_string(kMaxModeSide) +
                                     " pixels a side)");
    return DDERR_UNSUPPORTEDMODE;
  }
  if (!(cooperative_flags & DDSCL_EXCLUSIVE)) return DDERR_NOEXCLUSIVEMODE;
  width = static_cast<int>(w);
  height = static_cast<int>(h);
  bpp = static_cast<int>(bits);
  host::SizeWindowToPicture(detail::HostWindowOf(window), width, height);
  for (IDirectDrawSurface7* s : orphans()) {
    s->display = this;
    surfaces.push_back(s);
  }
  orphans().clear();
  for (IDirectDrawSurface7* s : surfaces) ConvertSurface(*s, bpp / 8);
  return DD_OK;
}

HRESULT IDirectDraw7::RestoreDisplayMode() { return DD_OK; }

HRESULT IDirectDraw7::CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** out, void*) {
  if (!desc || !out) return DDERR_INVALIDPARAMS;
  if (!cooperative_flags) return DDERR_NOCOOPERATIVELEVELSET;
  if (!(desc->dwFlags & DDSD_CAPS)) return DDERR_INVALIDCAPS;
  const int bytes = (bpp ? bpp : 32) / 8;
  auto s = new IDirectDrawSurface7();
  s->display = this;
  s->bytes_per_pixel = bytes;
  if (desc->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) {
    if (primary) {
      delete s;
      return DDERR_PRIMARYSURFACEALREADYEXISTS;
    }
    if (!bpp) {
      delete s;
      return DDERR_NOEXCLUSIVEMODE;
    }
    s->primary = true;
    s->width = width;
    s->height = height;
  } else {
    if ((desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT) || desc->dwWidth == 0 ||
        desc->dwHeight == 0) {
      delete s;
      return DDERR_INVALIDPARAMS;
    }
    uint64_t row = (uint64_t(desc->dwWidth) * bytes + 3) & ~uint64_t(3);
    if (desc->dwWidth > 0x7FFFFFFF || desc->dwHeight > 0x7FFFFFFF || row * desc->dwHeight > kMaxSurfaceBytes) {
      delete s;
      return DDERR_OUTOFMEMORY;
    }
    s->width = static_cast<int>(desc->dwWidth);
    s->height = static_cast<int>(desc->dwHeight);
  }
  s->pitch = (s->width * bytes + 3) & ~3;
  s->pixels->Replace(host::ZeroedBytes(size_t(s->pitch) * s->height));
  surfaces.push_back(s);
  if (s->primary) primary = s;
  *out = s;
  return DD_OK;
}

ULONG IDirectDraw7::Release() {
  if (--refs > 0) return refs;
  for (IDirectDrawSurface7* s : surfaces) {
    s->display = nullptr;
    s->pixels->TakeBack();
    if (s->primary) s->primary = false;
    orphans().push_back(s);
  }
  displays().erase(std::remove(displays().begin(), displays().end(), this), displays().end());
  delete this;
  return 0;
}

ULONG IDirectDrawSurface7::AddRef() { return ++refs; }

ULONG IDirectDrawSurface7::Release() {
  if (--refs > 0) return refs;
  if (display) {
    auto& list = display->surfaces;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (display->primary == this) display->primary = nullptr;
  } else {
    orphans().erase(std::remove(orphans().begin(), orphans().end(), this), orphans().end());
  }
  delete this;
  return 0;
}

HRESULT IDirectDrawSurface7::IsLost() { return (!display || lost) ? DDERR_SURFACELOST : DD_OK; }

HRESULT IDirectDrawSurface7::Restore() {
  if (!display) return DDERR_SURFACELOST;
  lost = false;
  return DD_OK;
}

HRESULT IDirectDrawSurface7::GetSurfaceDesc(DDSURFACEDESC2* desc) {
  if (!desc) return DDERR_INVALIDPARAMS;
  FillDesc(*this, desc, false);
  return DD_OK;
}

HRESULT IDirectDrawSurface7::SetColorKey(DWORD flags, DDCOLORKEY* key) {
  if (!(flags & DDCKEY_SRCBLT)) return DDERR_UNSUPPORTED;
  if (!display) return DDERR_SURFACELOST;
  has_colorkey = key != nullptr;
  colorkey = key ? key->dwColorSpaceLowValue : 0;
  return DD_OK;
}

HRESULT IDirectDrawSurface7::Lock(RECT*, DDSURFACEDESC2* desc, DWORD, HANDLE) {
  if (!desc) return DDERR_INVALIDPARAMS;
  if (!display || lost) return DDERR_SURFACELOST;
  ++lock_count;
  untouched = false;
  FillDesc(*this, desc, true);
  return DD_OK;
}

HRESULT IDirectDrawSurface7::Unlock(RECT*) {
  if (lock_count == 0) return DDERR_NOTLOCKED;
  if (--lock_count == 0 && primary && display) Present(*display);
  return DD_OK;
}

HRESULT IDirectDrawSurface7::Blt(RECT* destRect, IDirectDrawSurface7* source, RECT* sourceRect, DWORD flags,
                                 DDBLTFX* fx) {
  if (g_injected_blt_result != DD_OK) {
    HRESULT r = g_injected_blt_result;
    g_injected_blt_result = DD_OK;
    return r;
  }
  // The virtual clock counts a frame for every copy onto the screen, shown or not,
  // so a run whose screen is lost still moves on.
  auto lost_copy = [&] {
    if (primary && !(flags & DDBLT_COLORFILL)) host::CountUnshownFrame();
    return DDERR_SURFACELOST;
  };
  if (!display || lost) return lost_copy();
  if (lock_count > 0) return DDERR_SURFACEBUSY;
  RECT D = destRect ? *destRect : RECT{0, 0, width, height};
  if (!InsideSurface(D, *this)) return DDERR_INVALIDRECT;
  if (flags & DDBLT_COLORFILL) {
    if (!fx) return DDERR_INVALIDPARAMS;
    // Black on a surface nothing has written yet is what it holds: its pages stay
    // the system's untouched zero pages.
    if (!untouched || fx->dwFillColor != 0) Fill(*this, D, fx->dwFillColor);
    untouched = untouched && fx->dwFillColor == 0;
  } else {
    if (!source) return DDERR_INVALIDPARAMS;
    if (!source->display || source->lost) return lost_copy();
    if (source->lock_count > 0) return DDERR_SURFACEBUSY;
    if (source->bytes_per_pixel != bytes_per_pixel) return DDERR_INVALIDPIXELFORMAT;
    RECT S = sourceRect ? *sourceRect : RECT{0, 0, source->width, source->height};
    if (!InsideSurface(S, *source)) return DDERR_INVALIDRECT;
    bool use_key = (flags & DDBLT_KEYSRC) && source->has_colorkey;
    Copy(*this, D, *source, S, use_key, source->colorkey);
    untouched = false;
  }
  if (primary) Present(*display);
  return DD_OK;
}

HRESULT IDirectDrawSurface7::GetDC(HDC* dc) {
  if (!dc) return DDERR_INVALIDPARAMS;
  if (!display || lost) return DDERR_SURFACELOST;
  if (lock_count > 0) return DDERR_SURFACEBUSY;
  *dc = new DeviceContext{this, nullptr, 0x00FFFFFF, 0};
  ++lock_count;  // a device context holds the surface like a lock
  untouched = false;
  return DD_OK;
}

HRESULT IDirectDrawSurface7::ReleaseDC(HDC dc) {
  if (!dc || dc->surface != this) return DDERR_INVALIDPARAMS;
  delete dc;
  return Unlock(nullptr);
}
