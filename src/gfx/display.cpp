#include "gfx/display.h"

#include "app/window_globals.h"
#include "base/logfile.h"
#include "gfx/2d.h"

IDirectDraw7* g_pDD = nullptr;
DWORD g_dwWidth = 0;
DWORD g_dwHeight = 0;
DWORD g_dwBpp = 0;
int g_bDisplayReady = 0;
HRESULT g_hr = 0;

namespace {
const char* Word(HRESULT hr) { return hr == 0 ? "OK" : "ERROR!"; }
}  // namespace

int DxInit(DWORD width, DWORD height, DWORD bpp) {
  g_dwWidth = width;
  g_dwHeight = height;
  g_dwBpp = bpp;

  g_hr = DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&g_pDD), IID_IDirectDraw7, nullptr);
  log_dx.status(FAILED(g_hr) ? "ERROR" : "OK", "DirectDrawCreateEx(%lu, %lu, %lu, %lu)", 0ul, LogId(&g_pDD),
                LogId(&IID_IDirectDraw7), 0ul);
  if (FAILED(g_hr)) return 0;

  g_hr = g_pDD->SetCooperativeLevel(hWnd, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE);
  log_dx.status(g_hr ? "ERROR" : "OK", "g_pDD->SetCooperativeLevel(%lu, %lu)", LogId(hWnd), 17ul);
  if (g_hr) return 0;

  g_hr = g_pDD->SetDisplayMode(width, height, bpp, 0, 0);
  log_dx.status(g_hr ? "ERROR" : "OK", "g_pDD->SetDisplayMode(%lu, %lu, %lu, %lu, %lu)", (unsigned long)width,
                (unsigned long)height, (unsigned long)bpp, 0ul, 0ul);
  if (g_hr) return 0;

  HRESULT r = primary.create_primary();
  log_dx.status(r ? "ERROR" : "OK", "primary.create_primary()");
  if (r) return 0;

  g_bDisplayReady = 1;
  return 1;
}

int DxFree() {
  if (g_pDD) {
    if (primary.loaded || primary.created) {
      int freed = primary.free();
      log_dx.status(freed ? "OK" : "ERROR!", "primary.free()");
    }
    g_hr = g_pDD->RestoreDisplayMode();
    log_dx.status(Word(g_hr), "g_pDD->RestoreDisplayMode()");
    g_hr = g_pDD->SetCooperativeLevel(hWnd, DDSCL_NORMAL);
    log_dx.status(Word(g_hr), "g_pDD->SetCooperativeLevel(%lu, %lu)", LogId(hWnd), 8ul);
    g_pDD->Release();
    log_dx.status(Word(g_hr), "g_pDD->Release()");
    g_pDD = nullptr;
  }
  g_bDisplayReady = 0;
  return 1;
}

int DxRestore() {
  g_bDisplayReady = 0;
  primary.restore();
  log_dx.status("OK", "primary.restore()");
  g_bDisplayReady = 1;
  return 1;
}
