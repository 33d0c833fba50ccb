#include "gfx/gdi_helpers.h"

#include <cstdarg>
#include <cstdio>

#include "gfx/2d.h"

HRESULT text_printf(bitmap& target, int x, int y, COLORREF textColour, COLORREF backColour, const char* format, ...) {
  if (!target.holds_surface()) return E_FAIL;
  char text[8192];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  HDC dc;
  if (FAILED(target.surface->GetDC(&dc))) return E_FAIL;
  SetTextColor(dc, textColour);
  SetBkColor(dc, backColour);
  TextOutA(dc, x, y, text, lstrlenA(text));
  target.surface->ReleaseDC(dc);
  return 0;
}

namespace {
HBITMAP LoadPicture(const char* name, int width, int height) {
  HANDLE h = LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, width, height, LR_CREATEDIBSECTION);
  if (!h) h = LoadImageA(nullptr, name, IMAGE_BITMAP, width, height, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
  return static_cast<HBITMAP>(h);
}
}  // namespace

IDirectDrawSurface7* load_bitmap_surface(IDirectDraw7* directDraw, const char* name, int width, int height) {
  HBITMAP picture = LoadPicture(name, width, height);
  if (!picture) return nullptr;
  BITMAP bm{};
  GetObjectA(picture, sizeof bm, &bm);
  DDSURFACEDESC2 ddsd{};
  ddsd.dwSize = 124;
  ddsd.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
  ddsd.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  ddsd.dwWidth = static_cast<DWORD>(bm.bmWidth);
  ddsd.dwHeight = static_cast<DWORD>(bm.bmHeight);
  IDirectDrawSurface7* surface = nullptr;
  if (!directDraw || directDraw->CreateSurface(&ddsd, &surface, nullptr) != DD_OK) {
    DeleteObject(picture);
    return nullptr;
  }
  copy_bitmap_to_surface(surface, picture, 0, 0, 0, 0);
  DeleteObject(picture);
  return surface;
}

HRESULT reload_bitmap_surface(IDirectDrawSurface7* surface, const char* name) {
  HBITMAP picture = LoadPicture(name, 0, 0);
  if (!picture) {
    OutputDebugStringA("handle is null\n");
    return E_FAIL;
  }
  HRESULT r = copy_bitmap_to_surface(surface, picture, 0, 0, 0, 0);
  if (r != 0) OutputDebugStringA("ddcopybitmap failed\n");
  DeleteObject(picture);
  return r;
}

HRESULT copy_bitmap_to_surface(IDirectDrawSurface7* surface, HBITMAP picture, int x, int y, int width, int height) {
  if (!picture || !surface) return E_FAIL;
  surface->Restore();
  HDC image = CreateCompatibleDC(nullptr);
  if (!image) OutputDebugStringA("createcompatible dc failed\n");
  SelectObject(image, picture);
  BITMAP bm{};
  GetObjectA(picture, sizeof bm, &bm);
  if (width == 0) width = bm.bmWidth;
  if (height == 0) height = bm.bmHeight;
  DDSURFACEDESC2 ddsd{};
  ddsd.dwSize = 124;
  ddsd.dwFlags = DDSD_HEIGHT | DDSD_WIDTH;
  surface->GetSurfaceDesc(&ddsd);
  HDC dc;
  HRESULT hr = surface->GetDC(&dc);
  if (hr == DD_OK) {
    StretchBlt(dc, 0, 0, static_cast<int>(ddsd.dwWidth), static_cast<int>(ddsd.dwHeight), image, x, y, width, height,
               SRCCOPY);
    surface->ReleaseDC(dc);
  }
  DeleteDC(image);
  return hr;
}
