#include "efx/bump.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "base/logfile.h"
#include "gfx/pixel_format.h"

namespace {

bool AllocateRows(int8_t**& table, const char* name) {
  table = new (std::nothrow) int8_t*[128]();
  log_efect.status(table ? "OK" : "ERROR", "%s = new char*[128];", name);
  return table != nullptr;
}

void FreeRows(int8_t**& table, const char* name) {
  if (!table) return;
  for (int i = 0; i < 128; ++i) delete[] table[i];
  log_efect.status("OK", "delete [] %s[0...128];", name);
  delete[] table;
  table = nullptr;
}

}  // namespace

efx_bump::~efx_bump() { free(); }

bool efx_bump::create(const char* bump_file, const char* height_file, const char*) {
  log_efect.print("efx_bump %lu create(%s,%s)\n", LogId(this), bump_file, height_file);
  if (!load(bump_file)) return false;
  if (!AllocateRows(lightmapr, "lightmapr") || !AllocateRows(lightmapg, "lightmapg") ||
      !AllocateRows(lightmapb, "lightmapb"))
    return false;
  for (unsigned i = 0; i < 128; ++i) {
    struct {
      int8_t** table;
      const char* name;
    } maps[] = {{lightmapr, "lightmapr"}, {lightmapg, "lightmapg"}, {lightmapb, "lightmapb"}};
    for (auto& m : maps) {
      m.table[i] = new (std::nothrow) int8_t[128];
      if (!m.table[i]) {
        log_efect.status("ERROR", "%s[%u] = new char[128];", m.name, i);
        return false;
      }
    }
  }
  log_efect.status("OK", "lightmapr[0...128] = new char[128];");
  log_efect.status("OK", "lightmapg[0...128] = new char[128];");
  log_efect.status("OK", "lightmapb[0...128] = new char[128];");

  bitmap temp;
  if (!temp.load(height_file)) return false;
  if (width != temp.width || height != temp.height) {
    log_efect.status("ERROR", "%s", width != temp.width ? "buffer.width!=temp.width" : "buffer.height!=temp.height");
    temp.free();
    bitmap::free();
    return false;
  }
  const int W = width, H = height;
  heightmap = new (std::nothrow) int8_t[size_t(W) * H];
  log_efect.status(heightmap ? "OK" : "ERROR", "heightmap = new char[%u];", static_cast<unsigned>(W * H));
  if (!heightmap) return false;
  if (temp.lock() == 0) {
    for (int x = 0; x < W; ++x)
      for (int y = 0; y < H; ++y) {
        DWORD p = 0;
        temp.get_pixel(x, y, &p);
        if (IsRgb565(temp)) p = Rgb565ToXrgb(p);  // the height is the channels' mean in every format
        heightmap[size_t(y) * W + x] =
            static_cast<int8_t>(static_cast<int>(((p >> 16 & 255) + (p >> 8 & 255) + (p & 255)) / 6.0));
      }
    temp.unlock();
  }
  log_efect.status("OK", "creating heightmap...");
  temp.free();

  for (int i = 0; i < 128; ++i)
    for (int j = 0; j < 128; ++j) {
      int r2 = static_cast<int>(std::sqrt(double((2 * i) * (2 * i) + (2 * j) * (2 * j))));
      int8_t v = std::sqrt(double(i * i + j * j)) < 128.0 ? static_cast<int8_t>(static_cast<int>((255 - r2) * 0.5)) : 0;
      lightmapr[i][j] = lightmapg[i][j] = lightmapb[i][j] = v;
    }
  log_efect.status("OK", "creating lightmap...");
  PrepareFastPath();
  log_efect.status("OK", "efx_bump %lu create(%s,%s)", LogId(this), bump_file, height_file);
  return true;
}

void efx_bump::PrepareFastPath() {
  const int W = width, H = height;
  slope_x_.assign(size_t(W) * H, 0);
  slope_y_.assign(size_t(W) * H, 0);
  for (int y = 1; y < H - 1; ++y)
    for (int x = 1; x < W - 1; ++x) {
      const size_t i = size_t(y) * W + x;
      const int across = heightmap[i + 1] - heightmap[i - 1], down = heightmap[i + W] - heightmap[i - W];
      if (across < -128 || across > 127 || down < -128 || down > 127) {
        slope_x_.clear();  // not from a picture: the general loop handles it
        slope_y_.clear();
        return;
      }
      slope_x_[i] = int8_t(across);
      slope_y_[i] = int8_t(down);
    }
  // One table serves all three channels when they agree, as create makes them.
  light_.assign(128 * 128, 0);
  for (int i = 0; i < 128; ++i)
    for (int j = 0; j < 128; ++j) {
      if (lightmapr[i][j] != lightmapg[i][j] || lightmapg[i][j] != lightmapb[i][j] || lightmapr[i][j] < 0) {
        light_.clear();
        return;
      }
      light_[size_t(i) * 128 + j] = uint8_t(lightmapr[i][j]);
    }
}

// 32 bits in and out, the common case: each channel's (c * light) >> 7 as the
// general loop computes it, but with red and blue in one multiply (both products
// stay below 2^15, so neither reaches the other's byte).
bool efx_bump::RunXrgb(bitmap& destination, int w, int h) {
  const int W = width;
  if (slope_x_.size() != size_t(W) * height || light_.empty()) return false;
  const uint8_t* src = static_cast<const uint8_t*>(desc.lpSurface);
  uint8_t* dst = static_cast<uint8_t*>(destination.desc.lpSurface);
  std::vector<uint16_t> index(size_t(w > 0 ? w : 0));
  for (int y = 1; y < h - 1; ++y) {
    const auto* srow = reinterpret_cast<const uint32_t*>(src + size_t(y) * desc.lPitch);
    auto* drow = reinterpret_cast<uint32_t*>(dst + size_t(y) * destination.desc.lPitch);
    const int8_t* sx = slope_x_.data() + size_t(y) * W;
    const int8_t* sy = slope_y_.data() + size_t(y) * W;
    const int ry = y - light_y, lx = light_x;
    // The table index of every pixel of the row first, in a loop without loads
    // that depend on each other, so the compiler can vectorise it.
    for (int x = 1; x < w - 1; ++x) {
      int dx = sx[x] - (x - lx), dy = sy[x] - ry;
      dx = dx < 0 ? -dx : dx;
      dy = dy < 0 ? -dy : dy;
      dx = dx > 127 ? 127 : dx;
      dy = dy > 127 ? 127 : dy;
      index[size_t(x)] = uint16_t(dx * 128 + dy);
    }
    const uint8_t* light = light_.data();
    for (int x = 1; x < w - 1; ++x) {
      const uint32_t p = srow[x], l = light[index[size_t(x)]];
      drow[x] = ((((p & 0xFF00FF) * l) >> 7) & 0xFF00FF) | ((((p & 0x00FF00) * l) >> 7) & 0x00FF00);
    }
  }
  return true;
}

void efx_bump::run(bitmap& destination, int) {
  if (run_count == 0) log_efect.print("efx_bump %lu run(%lu)...\n", LogId(this), LogId(&destination));
  ++run_count;
  // Without a successful create there is nothing to light.
  if (!heightmap || !lightmapb || !lightmapb[127] || !holds_surface()) return;
  if (lock() != 0) return;
  if (destination.lock() != 0) {
    unlock();
    return;
  }
  const int W = width, H = height;
  // The destination should be at least as large; a smaller one is lit only where it reaches.
  const int w = destination.width < W ? destination.width : W;
  const int h = destination.height < H ? destination.height : H;
  const int sb = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount / 8);
  const int db = static_cast<int>(destination.desc.ddpfPixelFormat.dwRGBBitCount / 8);
  const uint8_t* src = static_cast<const uint8_t*>(desc.lpSurface);
  uint8_t* dst = static_cast<uint8_t*>(destination.desc.lpSurface);
  const int8_t* hm = heightmap;
  const bool words = sb == 4 && db == 4;
  if (words && RunXrgb(destination, w, h)) {
    unlock();
    destination.unlock();
    return;
  }
  for (int y = 1; y < h - 1; ++y) {
    const uint8_t* srow = src + size_t(y) * desc.lPitch;
    uint8_t* drow = dst + size_t(y) * destination.desc.lPitch;
    const int8_t* hrow = hm + size_t(y) * W;
    const int ry = y - light_y;
    for (int x = 1; x < w - 1; ++x) {
      int dx = std::abs(hrow[x + 1] - hrow[x - 1] - (x - light_x));
      int dy = std::abs(hrow[x + W] - hrow[x - W] - ry);
      if (dx > 127) dx = 127;
      if (dy > 127) dy = 127;
      DWORD p = 0;
      if (words)
        std::memcpy(&p, srow + size_t(x) * 4, 4);
      else
        for (int i = 0; i < sb && i < 4; ++i) p |= DWORD(srow[size_t(x) * sb + i]) << (8 * i);
      if (sb == 2) p = Rgb565ToXrgb(p);
      const DWORD b = p & 255, g = p >> 8 & 255, r = p >> 16 & 255;
      DWORD out =
          (b * lightmapb[dx][dy]) >> 7 | ((g * lightmapg[dx][dy]) >> 7) << 8 | ((r * lightmapr[dx][dy]) >> 7) << 16;
      if (db == 2) out = XrgbToRgb565(out);
      if (words)
        std::memcpy(drow + size_t(x) * 4, &out, 4);
      else
        for (int i = 0; i < db && i < 4; ++i) drow[size_t(x) * db + i] = static_cast<uint8_t>(out >> (8 * i));
    }
  }
  unlock();
  destination.unlock();
}

bool efx_bump::free() {
  log_efect.print("(%lu)... run %u frames\n", LogId(this), run_count);
  log_efect.print("efx_bump %lu free\n", LogId(this));
  FreeRows(lightmapr, "lightmapr");
  FreeRows(lightmapg, "lightmapg");
  FreeRows(lightmapb, "lightmapb");
  log_efect.status("OK", "delete [] lightmapr;");
  log_efect.status("OK", "delete [] lightmapg;");
  log_efect.status("OK", "delete [] lightmapb;");
  delete[] heightmap;
  heightmap = nullptr;
  log_efect.status("OK", "delete [] heightmap");
  bitmap::free();
  return true;
}
