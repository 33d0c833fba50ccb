#pragma once
// The GDI calls the engine makes: device contexts on surfaces for text output with
// an 8x16 VGA font on opaque cells, and device-independent pictures loaded from BMP
// files and stretch-copied onto surfaces with conversion to their pixel format.

#include <cstdint>
#include <vector>

#include "winapi/ddraw.h"

struct Picture;  // a loaded BMP: width, height and XRGB pixels
using HBITMAP = Picture*;
using HGDIOBJ_PICTURE = HBITMAP;

struct DeviceContext {
  IDirectDrawSurface7* surface = nullptr;  // null for a memory device context
  HBITMAP selected = nullptr;
  COLORREF text_colour = 0x00FFFFFF;
  COLORREF back_colour = 0;
};

struct BITMAP {
  LONG bmType;
  LONG bmWidth;
  LONG bmHeight;
  LONG bmWidthBytes;
  WORD bmPlanes;
  WORD bmBitsPixel;
  void* bmBits;
};

constexpr UINT IMAGE_BITMAP = 0;
constexpr UINT LR_LOADFROMFILE = 0x10;
constexpr UINT LR_CREATEDIBSECTION = 0x2000;
constexpr DWORD SRCCOPY = 0x00CC0020;

inline COLORREF RGB(BYTE r, BYTE g, BYTE b) { return r | (g << 8) | (b << 16); }

HINSTANCE GetModuleHandleA(const char* name);
// Resources are never found (the program carries none); with LR_LOADFROMFILE
// the name is a BMP file. width and height 0 keep the picture's own size.
HANDLE LoadImageA(HINSTANCE instance, const char* name, UINT type, int width, int height, UINT flags);
int GetObjectA(HANDLE object, int size, void* out);
BOOL DeleteObject(HANDLE object);
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
HANDLE SelectObject(HDC dc, HANDLE object);
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, int sw, int sh, DWORD rop);
COLORREF SetTextColor(HDC dc, COLORREF colour);
COLORREF SetBkColor(HDC dc, COLORREF colour);
BOOL TextOutA(HDC dc, int x, int y, const char* text, int length);
int lstrlenA(const char* text);
