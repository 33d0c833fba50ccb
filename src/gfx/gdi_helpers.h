#pragma once
// Text onto bitmaps, and BMP pictures onto surfaces, through the GDI calls.

#include "winapi/gdi.h"

class bitmap;

// Colours are GDI colour references (red in the lowest byte), not pixel values.
HRESULT text_printf(bitmap& target, int x, int y, COLORREF textColour, COLORREF backColour, const char* format, ...)
    __attribute__((format(printf, 6, 7)));
IDirectDrawSurface7* load_bitmap_surface(IDirectDraw7* directDraw, const char* name, int width, int height);
HRESULT reload_bitmap_surface(IDirectDrawSurface7* surface, const char* name);
HRESULT copy_bitmap_to_surface(IDirectDrawSurface7* surface, HBITMAP picture, int x, int y, int width, int height);
