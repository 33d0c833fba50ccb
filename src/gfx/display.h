#pragma once
// The display: DirectDraw object, full-screen exclusive mode, the screen surface.

#include "winapi/ddraw.h"

extern IDirectDraw7* g_pDD;
extern DWORD g_dwWidth;
extern DWORD g_dwHeight;
extern DWORD g_dwBpp;
extern int g_bDisplayReady;
extern HRESULT g_hr;

int DxInit(DWORD width, DWORD height, DWORD bpp);
int DxFree();
int DxRestore();
