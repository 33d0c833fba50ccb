#pragma once
// The DirectDraw 7 calls the engine makes: a display object that takes a window
// and emulates any mode from 1 x 1 to 8192 x 8192 at 16, 24 or 32 bits, and
// surfaces in the mode's pixel format that lock, fill, copy (stretching, with an
// optional source colour key), get lost while the window is minimised and come
// back with Restore. The primary surface is shown in the window.

#include <cstdint>
#include <memory>
#include <vector>

#include "winapi/win32.h"

namespace winapi {
struct SurfacePixels;
}

constexpr HRESULT DD_OK = 0;
constexpr HRESULT MakeDdError(unsigned code) { return static_cast<HRESULT>(0x88760000u + code); }

constexpr HRESULT DDERR_GENERIC = E_FAIL;
constexpr HRESULT DDERR_INVALIDPARAMS = E_INVALIDARG;
constexpr HRESULT DDERR_OUTOFMEMORY = E_OUTOFMEMORY;
constexpr HRESULT DDERR_UNSUPPORTED = E_NOTIMPL;
constexpr HRESULT DDERR_INCOMPATIBLEPRIMARY = MakeDdError(95);
constexpr HRESULT DDERR_INVALIDCAPS = MakeDdError(100);
constexpr HRESULT DDERR_INVALIDCLIPLIST = MakeDdError(110);
constexpr HRESULT DDERR_INVALIDMODE = MakeDdError(120);
constexpr HRESULT DDERR_INVALIDOBJECT = MakeDdError(130);
constexpr HRESULT DDERR_INVALIDPIXELFORMAT = MakeDdError(145);
constexpr HRESULT DDERR_INVALIDRECT = MakeDdError(150);
constexpr HRESULT DDERR_NOALPHAHW = MakeDdError(180);
constexpr HRESULT DDERR_NOCLIPLIST = MakeDdError(205);
constexpr HRESULT DDERR_NOCOOPERATIVELEVELSET = MakeDdError(212);
constexpr HRESULT DDERR_NOEXCLUSIVEMODE = MakeDdError(225);
constexpr HRESULT DDERR_NOFLIPHW = MakeDdError(230);
constexpr HRESULT DDERR_NOMIRRORHW = MakeDdError(250);
constexpr HRESULT DDERR_NOOVERLAYHW = MakeDdError(260);
constexpr HRESULT DDERR_NORASTEROPHW = MakeDdError(280);
constexpr HRESULT DDERR_NOROTATIONHW = MakeDdError(290);
constexpr HRESULT DDERR_NOSTRETCHHW = MakeDdError(310);
constexpr HRESULT DDERR_NOZBUFFERHW = MakeDdError(340);
constexpr HRESULT DDERR_OUTOFVIDEOMEMORY = MakeDdError(380);
constexpr HRESULT DDERR_SURFACEBUSY = MakeDdError(430);
constexpr HRESULT DDERR_SURFACELOST = MakeDdError(450);
constexpr HRESULT DDERR_WASSTILLDRAWING = MakeDdError(540);
constexpr HRESULT DDERR_NODIRECTDRAWHW = MakeDdError(563);
constexpr HRESULT DDERR_PRIMARYSURFACEALREADYEXISTS = MakeDdError(564);
constexpr HRESULT DDERR_NOEMULATION = MakeDdError(565);
constexpr HRESULT DDERR_NOHWND = MakeDdError(569);
constexpr HRESULT DDERR_NOBLTHW = MakeDdError(575);
constexpr HRESULT DDERR_NODDROPSHW = MakeDdError(576);
constexpr HRESULT DDERR_NOTLOCKED = MakeDdError(584);
constexpr HRESULT DDERR_CANTCREATEDC = MakeDdError(585);
constexpr HRESULT DDERR_UNSUPPORTEDMODE = MakeDdError(590);
constexpr HRESULT DDERR_NOMIPMAPHW = MakeDdError(591);

constexpr DWORD DDSCL_FULLSCREEN = 0x1;
constexpr DWORD DDSCL_NORMAL = 0x8;
constexpr DWORD DDSCL_EXCLUSIVE = 0x10;

constexpr DWORD DDSD_CAPS = 0x1;
constexpr DWORD DDSD_HEIGHT = 0x2;
constexpr DWORD DDSD_WIDTH = 0x4;
constexpr DWORD DDSD_PITCH = 0x8;
constexpr DWORD DDSD_PIXELFORMAT = 0x1000;
constexpr DWORD DDSD_LPSURFACE = 0x800;

constexpr DWORD DDSCAPS_OFFSCREENPLAIN = 0x40;
constexpr DWORD DDSCAPS_PRIMARYSURFACE = 0x200;

constexpr DWORD DDBLT_COLORFILL = 0x400;
constexpr DWORD DDBLT_KEYSRC = 0x8000;
constexpr DWORD DDBLT_WAIT = 0x01000000;
constexpr DWORD DDBLT_DONOTWAIT = 0x08000000;

constexpr DWORD DDCKEY_SRCBLT = 0x8;
constexpr DWORD DDLOCK_WAIT = 0x1;

struct DDPIXELFORMAT {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwFourCC;
  DWORD dwRGBBitCount;
  DWORD dwRBitMask;
  DWORD dwGBitMask;
  DWORD dwBBitMask;
  DWORD dwRGBAlphaBitMask;
};

struct DDSCAPS2 {
  DWORD dwCaps;
  DWORD dwCaps2;
  DWORD dwCaps3;
  DWORD dwCaps4;
};

// The engine passes 124 as dwSize, the size of the original record.
struct DDSURFACEDESC2 {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwHeight;
  DWORD dwWidth;
  LONG lPitch;
  DWORD dwBackBufferCount;
  DWORD dwRefreshRate;
  void* lpSurface;
  DDPIXELFORMAT ddpfPixelFormat;
  DDSCAPS2 ddsCaps;
};

struct DDCOLORKEY {
  DWORD dwColorSpaceLowValue;
  DWORD dwColorSpaceHighValue;
};

struct DDBLTFX {
  DWORD dwSize;
  DWORD dwFillColor;
};

struct GUID {
  uint32_t data1;
  uint16_t data2, data3;
  uint8_t data4[8];
};
// Inline: on Windows the system's own libraries define the same names, with
// the same values, and the linker keeps one.
inline constexpr GUID IID_IDirectDraw7 = {0x15e65ec0, 0x3b9c, 0x11d2, {0xb9, 0x2f, 0x00, 0x60, 0x97, 0x97, 0xea, 0x5b}};

class IDirectDraw7;
struct DeviceContext;
using HDC = DeviceContext*;

class IDirectDrawSurface7 {
 public:
  // Plain, colour-keyed and stretched copies (nearest neighbour) and colour fills;
  // a copy onto the primary surface is also what the window shows next, and each
  // one counts a frame of the virtual clock.
  HRESULT Blt(RECT* destRect, IDirectDrawSurface7* source, RECT* sourceRect, DWORD flags, DDBLTFX* fx);
  // Nested locks succeed with the same address; the pixels stay valid until the
  // outermost Unlock.
  HRESULT Lock(RECT* rect, DDSURFACEDESC2* desc, DWORD flags, HANDLE event);
  HRESULT Unlock(RECT* rect);
  HRESULT GetSurfaceDesc(DDSURFACEDESC2* desc);
  // Only the source colour key (one value, low equals high) is kept.
  HRESULT SetColorKey(DWORD flags, DDCOLORKEY* key);
  // Gives the memory back after a loss; the old contents stay, as the engine
  // redraws or reloads what it needs. Fails once the display was released.
  HRESULT Restore();
  // Lost while the window is minimised (until Restore), or once its display is gone.
  HRESULT IsLost();
  // A device context over the pixels, for the GDI text and picture calls (gdi.h).
  HRESULT GetDC(HDC* dc);
  HRESULT ReleaseDC(HDC dc);
  ULONG AddRef();
  ULONG Release();

  // Layer-internal state; the engine reaches it only through the calls above.
  IDirectDraw7* display = nullptr;  // null once its display object was released
  bool primary = false;
  bool lost = false;
  bool has_colorkey = false;
  DWORD colorkey = 0;
  int width = 0, height = 0, bytes_per_pixel = 4;
  LONG pitch = 0;
  int lock_count = 0;
  ULONG refs = 1;
  // A primary surface that its window shows one for one lends its pixels to the
  // window's own surface, so that the copy onto it is a frame's only copy.
  std::unique_ptr<winapi::SurfacePixels> pixels;
  bool untouched = true;  // all zero since it was made: nothing has written it yet
  uint8_t* Bytes();
  const uint8_t* Bytes() const;

  IDirectDrawSurface7();
  ~IDirectDrawSurface7();
};

class IDirectDraw7 {
 public:
  // Exclusive mode needs a window; nothing else is checked.
  HRESULT SetCooperativeLevel(HWND window, DWORD flags);
  // Any size from 1 to 8192 on a side at 16, 24 or 32 bits; no real mode switch:
  // the window scales the mode's pixels to its size, aspect ratio kept.
  HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bpp, DWORD refreshRate, DWORD flags);
  HRESULT RestoreDisplayMode();
  HRESULT CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** surface, void* outer);
  ULONG Release();

  HWND window = nullptr;
  DWORD cooperative_flags = 0;
  int width = 0, height = 0, bpp = 0;  // 0 until a mode is set
  IDirectDrawSurface7* primary = nullptr;
  std::vector<IDirectDrawSurface7*> surfaces;
  ULONG refs = 1;
};

HRESULT DirectDrawCreateEx(GUID* device, void** directDraw, const GUID& iid, void* outer);
