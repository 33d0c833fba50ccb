// Device contexts on surfaces, text output with the VGA font, and BMP pictures
// loaded with our own decoder and stretch-copied onto surfaces.
#include "winapi/gdi.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <utility>

#include "image/bmp_decoder.h"
#include "image/file_bytes.h"
#include "winapi/pixels.h"
#include "winapi/system_font.h"
#include "winapi/testing.h"

namespace {

std::function<void(int, int, int)> g_text_out_observer;

constexpr int kGlyphHeight = 16;  // the text font's rows

DWORD SurfaceColour(const IDirectDrawSurface7& s, COLORREF c) {
  return winapi::PixelFromRgb(s.bytes_per_pixel, c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

}  // namespace

HINSTANCE GetModuleHandleA(const char*) {
  static int module;
  return reinterpret_cast<HINSTANCE>(&module);
}

HANDLE LoadImageA(HINSTANCE, const char* name, UINT type, int width, int height, UINT flags) {
  if (type != IMAGE_BITMAP || !(flags & LR_LOADFROMFILE) || !name) return nullptr;
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(name, bytes)) return nullptr;
  auto* picture = new Picture();
  if (!DecodeBmp(bytes.data(), bytes.size(), *picture)) {
    delete picture;
    return nullptr;
  }
  if ((width > 0 && width != picture->width) || (height > 0 && height != picture->height)) {
    int w = width > 0 ? width : picture->width, h = height > 0 ? height : picture->height;
    if (uint64_t(w) * uint64_t(h) > kMaxPicturePixels) {
      delete picture;
      return nullptr;
    }
    std::vector<uint32_t> scaled(size_t(w) * h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        scaled[size_t(y) * w + x] =
            picture
                ->pixels[size_t(int64_t(y) * picture->height / h) * picture->width + int64_t(x) * picture->width / w];
    picture->pixels.swap(scaled);
    picture->width = w;
    picture->height = h;
  }
  return picture;
}

int GetObjectA(HANDLE object, int size, void* out) {
  auto* picture = static_cast<Picture*>(object);
  if (!picture || !out || size < int(sizeof(BITMAP))) return 0;
  BITMAP b{};
  b.bmWidth = picture->width;
  b.bmHeight = picture->height;
  b.bmWidthBytes = picture->width * 4;
  b.bmPlanes = 1;
  b.bmBitsPixel = 32;
  b.bmBits = picture->pixels.data();
  std::memcpy(out, &b, sizeof b);
  return sizeof(BITMAP);
}

BOOL DeleteObject(HANDLE object) {
  delete static_cast<Picture*>(object);
  return 1;
}

HDC CreateCompatibleDC(HDC) { return new DeviceContext(); }

BOOL DeleteDC(HDC dc) {
  delete dc;
  return 1;
}

HANDLE SelectObject(HDC dc, HANDLE object) {
  if (!dc) return nullptr;
  HBITMAP previous = dc->selected;
  dc->selected = static_cast<HBITMAP>(object);
  return previous;
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, int sw, int sh, DWORD) {
  if (!dest || !dest->surface || !source || !source->selected || width <= 0 || height <= 0 || sw <= 0 || sh <= 0)
    return 0;
  IDirectDrawSurface7& s = *dest->surface;
  const Picture& p = *source->selected;
  const int bpp = s.bytes_per_pixel;
  for (int dy = std::max(0, -y); dy < height && y + dy < s.height; ++dy) {
    int py = sy + int(int64_t(dy) * sh / height);
    if (py < 0 || py >= p.height) continue;
    uint8_t* row = s.Bytes() + size_t(y + dy) * s.pitch;
    for (int dx = std::max(0, -x); dx < width && x + dx < s.width; ++dx) {
      int px = sx + int(int64_t(dx) * sw / width);
      if (px < 0 || px >= p.width) continue;
      uint32_t v = p.pixels[size_t(py) * p.width + px];
      winapi::StorePixel(row + size_t(x + dx) * bpp, bpp, winapi::PixelFromRgb(bpp, v >> 16, v >> 8, v));
    }
  }
  return 1;
}

COLORREF SetTextColor(HDC dc, COLORREF colour) {
  if (!dc) return 0xFFFFFFFF;
  COLORREF previous = dc->text_colour;
  dc->text_colour = colour;
  return previous;
}

COLORREF SetBkColor(HDC dc, COLORREF colour) {
  if (!dc) return 0xFFFFFFFF;
  COLORREF previous = dc->back_colour;
  dc->back_colour = colour;
  return previous;
}

namespace winapi::testing {
void ObserveTextOut(std::function<void(int, int, int)> observer) { g_text_out_observer = std::move(observer); }
}  // namespace winapi::testing

BOOL TextOutA(HDC dc, int x, int y, const char* text, int length) {
  if (!dc || !dc->surface || !text) return 0;
  if (g_text_out_observer) {
    int width = 0;
    for (int i = 0; i < length; ++i) width += kSystemFont[static_cast<unsigned char>(text[i])].advance;
    g_text_out_observer(x, y, width);
  }
  IDirectDrawSurface7& s = *dc->surface;
  const int bpp = s.bytes_per_pixel;
  const DWORD fore = SurfaceColour(s, dc->text_colour), back = SurfaceColour(s, dc->back_colour);
  // Each glyph's cell, its advance wide and the font's height, in the background
  // colour with the glyph over it.
  for (int row = 0; row < kGlyphHeight; ++row) {
    int py = y + row;
    if (py < 0 || py >= s.height) continue;
    uint8_t* line = s.Bytes() + size_t(py) * s.pitch;
    int64_t left = x;
    for (int i = 0; i < length; ++i) {
      const SystemFontGlyph& glyph = kSystemFont[static_cast<unsigned char>(text[i])];
      for (int col = 0; col < glyph.advance; ++col) {
        const int64_t px = left + col;
        if (px < 0 || px >= s.width) continue;
        winapi::StorePixel(line + size_t(px) * bpp, bpp, (glyph.rows[row] & (0x8000u >> col)) ? fore : back);
      }
      left += glyph.advance;
    }
  }
  return 1;
}

int lstrlenA(const char* text) { return text ? static_cast<int>(std::strlen(text)) : 0; }
