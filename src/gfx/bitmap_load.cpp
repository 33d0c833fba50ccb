// bitmap::load: PCX pictures decoded here, BMP pictures through the GDI helpers.
#include "gfx/bitmap_load.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "base/logfile.h"
#include "base/user_warning.h"
#include "gfx/2d.h"
#include "gfx/display.h"
#include "gfx/gdi_helpers.h"
#include "image/bmp_decoder.h"
#include "image/file_bytes.h"
#include "image/pcx_decoder.h"

namespace {

// Why a BMP file did not become a surface, worked out again only on that path.
std::string BmpFailure(const char* file_name) {
  std::vector<uint8_t> bytes;
  std::string why;
  if (!ReadFileBytes(file_name, bytes, uint64_t(1) << 30, why)) return why;
  Picture picture;
  DecodeResult result = DecodeBmp(bytes.data(), bytes.size(), picture);
  if (!result) return DecodeErrorText(result.error);
  return "no surface for a picture of this size";
}

bool EndsWith(const char* name, const char* ext) {
  size_t n = std::strlen(name);
  return n >= 4 && std::strcmp(name + n - 4, ext) == 0;
}

}  // namespace

int bitmap::load(const char* file_name) {
  if (holds_surface()) return 0;
  log_2d.print("bitmap %lu load\n", LogId(this));
  log_2d.print("{\n");
  const bool pcx = EndsWith(file_name, ".pcx");
  if (!pcx && !EndsWith(file_name, ".bmp")) {
    log_2d.write("ERROR! unknown file format\n");
    WarnUserOnce(file_name, DecodeErrorText(DecodeError::kNotPicture));
    return 0;
  }

  if (!pcx) {
    IDirectDrawSurface7* s = load_bitmap_surface(g_pDD, file_name, 0, 0);
    if (!s) {
      log_2d.status("ERROR! file not found", "\t%s", file_name);
      if (g_bDisplayReady) WarnUserOnce(file_name, BmpFailure(file_name));  // without a display, that is the news
      created = loaded = use_colorkey = 0;
      width = height = x = y = 0;
      log_2d.print(" ERROR\n");
      return 0;
    }
    surface = s;
    loaded = 1;
    created = 0;
    std::snprintf(name, sizeof name, "%s", file_name);
    DDSURFACEDESC2 d{};
    d.dwSize = 124;
    surface->GetSurfaceDesc(&d);
    width = static_cast<int>(d.dwWidth);
    height = static_cast<int>(d.dwHeight);
    log_2d.status("OK", "\t%s", name);
    log_2d.status("", "\t%dx%d", width, height);
    log_2d.print("}\n");
    return 1;
  }

  std::vector<uint8_t> file;
  std::string why;
  if (!ReadFileBytes(file_name, file, uint64_t(1) << 30, why)) {
    log_2d.status("ERROR! file not found", "\t%s", file_name);
    WarnUserOnce(file_name, why);
    return 0;
  }
  log_2d.status("OK", "\t%s", file_name);
  PcxHeader h;
  Picture decoded;
  const DecodeResult result = DecodePcx(file.data(), file.size(), h, decoded);
  if (!result) WarnUserOnce(file_name, DecodeErrorText(result.error));
  if (result.error == DecodeError::kTruncated) {
    log_2d.status("ERROR! truncated file", "\t%s", file_name);
    return 0;
  }
  if (h.encoding != 1) {
    log_2d.status("ERROR! no rln", "\tpacking: %d", h.encoding);
    return 0;
  }
  log_2d.status("OK", "\tpacking: %d", h.encoding);
  if (h.bits_per_plane != 8) {
    log_2d.status("ERROR! wrong bpp", "\tbpp: %d", h.bits_per_plane);
    return 0;
  }
  log_2d.status("OK", "\tbpp: %d", h.bits_per_plane);
  width = h.xmax - h.xmin + 1;
  height = h.ymax - h.ymin + 1;
  log_2d.status("", "\t%dx%d", width, height);
  if (!result) {
    log_2d.status("ERROR!", "\t%s: %s", file_name, DecodeErrorText(result.error));
    return 0;
  }
  if (!create(width, height)) {
    log_2d.status("ERROR! out of memory", "\tcreate(%d, %d)", width, height);
    if (g_bDisplayReady) WarnUserOnce(file_name, "no surface for a picture of this size");
    return 0;
  }
  log_2d.status("OK", "\tcreate(%d, %d)", width, height);

  if (h.planes == 1 || h.planes == 3) {
    if (h.planes == 1)
      log_2d.status("", "\t8bit");
    else
      log_2d.status("", "24bit");
    if (lock() != 0) {
      log_2d.status("ERROR! couldn't lock surface", "\tlock()");
      return 0;
    }
    for (int py = 0; py < height; ++py) {
      const uint32_t* row = decoded.pixels.data() + size_t(py) * width;
      for (int px = 0; px < width; ++px) put_pixel(px, py, row[px]);
    }
    if (unlock() != 0) {
      log_2d.status("ERROR! couldn't unlock surface", "\tunlock()");
      return 0;
    }
  }
  loaded = 1;
  created = 0;
  std::snprintf(name, sizeof name, "%s", file_name);
  log_2d.print("}\n");
  return 1;
}

uint8_t* read_pcx_pixels(const char* name, int* width, int* height) {
  std::vector<uint8_t> file;
  if (!ReadFileBytes(name, file)) {
    // The message is stored in the Windows-1252 code page: 0xF6 is the o-umlaut.
    std::fputs("Virhe PCX-tiedoston avauksessa: Tiedostoa ei l\xF6ydy!\n", stdout);
    std::fflush(stdout);
    std::exit(1);
  }
  PcxHeader h;
  if (!ReadPcxHeader(file.data(), file.size(), h)) return nullptr;
  const int w = h.xmax + 1, hgt = h.ymax + 1;
  // Pictures larger than any the program accepts, or than the file's bytes can
  // code, are refused before anything is allocated.
  if (uint64_t(w) * hgt > kMaxPicturePixels ||
      uint64_t(w) * hgt > (file.size() - kPcxHeaderSize) * kMaxPcxBytesPerFileByte)
    return nullptr;
  uint8_t* pixels = new (std::nothrow) uint8_t[size_t(w) * hgt]();
  if (!pixels) return nullptr;
  DecodePcxRuns(file.data(), file.size(), kPcxHeaderSize, pixels, size_t(w) * hgt);
  if (width) *width = w;
  if (height) *height = hgt;
  return pixels;
}
