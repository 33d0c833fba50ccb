#include "gfx/2d.h"

#include "base/logfile.h"
#include "gfx/dd_error_names.h"
#include "gfx/display.h"
#include "gfx/gdi_helpers.h"

bitmap primary;
bitmap front;

namespace {

void LogCreateFailure(HRESULT code, int line) {
  if (const char* word = CreateSurfaceErrorWord(code)) {
    if (code == DDERR_INCOMPATIBLEPRIMARY)
      log_2d.status(word, "CreateSurface(&ddsd, &surface, NULL)), in %s, line %d", "2d", line);
    else
      log_2d.status(word, "CreateSurface(&ddsd, &surface, NULL)),in %s, line %d", "2d", line);
  }
}
}  // namespace

bitmap::bitmap()
    : surface(nullptr),
      colorkey{0, 0},
      desc{},
      name{},
      x(0),
      y(0),
      width(0),
      height(0),
      loaded(0),
      created(0),
      use_colorkey(0),
      blit_error(0) {}

bitmap::~bitmap() {
  free();
  surface = nullptr;
  name[0] = 0;
  x = y = width = height = 0;
  loaded = created = use_colorkey = 0;
}

int bitmap::create(int w, int h) {
  if (holds_surface()) return 0;
  log_2d.print("bitmap %lu create\n", LogId(this));
  log_2d.print("{\n");
  DDSURFACEDESC2 ddsd{};
  ddsd.dwSize = 124;
  ddsd.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
  ddsd.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  ddsd.dwWidth = static_cast<DWORD>(w);
  ddsd.dwHeight = static_cast<DWORD>(h);
  g_hr = g_pDD ? g_pDD->CreateSurface(&ddsd, &surface, nullptr) : DDERR_INVALIDOBJECT;
  width = w;
  height = h;
  if (FAILED(g_hr)) {
    surface = nullptr;
    created = loaded = 0;
    LogCreateFailure(g_hr, __LINE__);
    log_2d.print("}\n");
    return 0;
  }
  created = 1;  // clear needs the surface marked as held
  clear(0);
  loaded = 0;
  log_2d.status("OK", "\t%dx%d", width, height);
  log_2d.print("}\n");
  return 1;
}

HRESULT bitmap::create_primary() {
  if (holds_surface()) return E_FAIL;
  log_2d.print("bitmap %lu create primary\n", LogId(this));
  log_2d.print("{\n");
  DDSURFACEDESC2 ddsd{};
  ddsd.dwSize = 124;
  ddsd.dwFlags = DDSD_CAPS;
  ddsd.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  g_hr = g_pDD ? g_pDD->CreateSurface(&ddsd, &surface, nullptr) : DDERR_INVALIDOBJECT;
  if (SUCCEEDED(g_hr)) {
    log_2d.status("OK", "\tg_pDD->CreateSurface(%lu, %lu, %lu)", LogId(&ddsd), LogId(&surface), 0ul);
    created = 1;
    loaded = 0;
    return 0;
  }
  surface = nullptr;
  LogCreateFailure(g_hr, __LINE__);
  log_2d.print("}\n");
  return g_hr ? g_hr : E_FAIL;
}

int bitmap::free() {
  if (!holds_surface()) return 0;
  log_2d.print("bitmap %lu release\n", LogId(this));
  log_2d.print("{\n");
  g_hr = static_cast<HRESULT>(surface->Release());
  if (g_hr < 0) {
    if (loaded)
      log_2d.status("ERROR! surface release failed", "\t%s", name);
    else
      log_2d.status("ERROR! surface release failed", "\trgb");
    return 0;
  }
  if (loaded)
    log_2d.status("OK", "\t%s", name);
  else
    log_2d.status("OK", "\trgb");
  surface = nullptr;
  // The description goes with the surface: a pixel format read from it before
  // the next surface is first locked would be the old one's.
  desc = DDSURFACEDESC2{};
  width = height = x = y = 0;
  use_colorkey = created = loaded = 0;
  log_2d.print("}\n");
  return 1;
}

void bitmap::restore() {
  if (!holds_surface()) return;
  log_2d.print("bitmap %lu restore\n", LogId(this));
  log_2d.print("{\n");
  if (FAILED(surface->Restore())) {
    log_2d.status("ERROR!", "\tsurface");
    return;
  }
  if (created) {
    // The surface layer keeps a lost surface's pixels, so the picture comes back
    // as it was; a green fill here would replace it for as long as nothing draws
    // over it (the twirl's surroundings, after a minimise).
    log_2d.status("OK", "rgb");
  }
  if (loaded) {
    g_hr = reload_bitmap_surface(surface, name);
    if (FAILED(g_hr)) {
      log_2d.status("ERROR! file not found", "%s", name);
      return;
    }
    DDSURFACEDESC2 d{};
    d.dwSize = 124;
    surface->GetSurfaceDesc(&d);
    width = static_cast<int>(d.dwWidth);
    height = static_cast<int>(d.dwHeight);
    log_2d.status("OK", "%s", name);
  }
  log_2d.print("}\n");
}

// clear, set_colorkey, lock and unlock need a surface; on an empty bitmap they
// fail instead of reaching through a null pointer.
int bitmap::clear(DWORD colour) {
  if (!surface) return 0;
  DDBLTFX fx{};
  fx.dwSize = 100;
  fx.dwFillColor = colour;
  return surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx) == 0 ? 1 : 0;
}

int bitmap::set_colorkey(DWORD colour) {
  colorkey[0] = colorkey[1] = colour;
  if (!surface) return 0;
  DDCOLORKEY key{colour, colour};
  return surface->SetColorKey(DDCKEY_SRCBLT, &key) == 0 ? 1 : 0;
}

HRESULT bitmap::lock() {
  std::memset(&desc, 0, sizeof desc);
  desc.dwSize = 124;
  if (!surface) return E_FAIL;
  g_hr = surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
  if (g_hr == DDERR_SURFACELOST && g_bDisplayReady) {
    // Pictures the effects only lock (never copy from) would otherwise stay lost
    // for good: bring the surface back, its picture re-read, and lock again.
    restore();
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = 124;
    g_hr = surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
  }
  if (SUCCEEDED(g_hr)) return 0;
  surface->Unlock(nullptr);
  return g_hr;
}

HRESULT bitmap::unlock() { return surface ? surface->Unlock(nullptr) : E_FAIL; }

int bitmap::line(int x1, int y1, int x2, int y2, DWORD colour) {
  int dx = x2 - x1, dy = y2 - y1;
  if (dx < 0) {
    dx = -dx;
    if (x1 > width) dx -= x1 - width, x1 = width;
    if (x2 < 0) dx += x2, x2 = 0;
  } else {
    if (x2 > width) dx -= x2 - width, x2 = width;
    if (x1 < 0) dx += x1, x1 = 0;
  }
  if (dy < 0) {
    dy = -dy;
    if (y1 > height) dy -= y1 - height, y1 = height;
    if (y2 < 0) dy += y2, y2 = 0;
  } else {
    if (y2 > height) dy -= y2 - height, y2 = height;
    if (y1 < 0) dy += y1, y1 = 0;
  }
  if (lock() != 0) return 0;
  // 64-bit intermediates give the 32-bit result wherever it does not overflow.
  auto interp = [](int a, int b, int i, int n) { return n == 0 ? b : static_cast<int>(a + (int64_t(b) - a) * i / n); };
  if (dx == 0) {
    for (int i = 0; i < dy; ++i) put_pixel(x1, interp(y1, y2, i, dy), colour);
  } else if (dy == 0) {
    for (int i = 0; i < dx; ++i) put_pixel(interp(x1, x2, i, dx), y1, colour);
  } else {
    int n = dx > dy ? dx : dy;
    for (int i = 0; i < n; ++i) put_pixel(interp(x1, x2, i, n), interp(y1, y2, i, n), colour);
  }
  unlock();
  return 0;
}
