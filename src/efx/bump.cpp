#include "efx/bump.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

namespace {

// One row's pixels x0 .. x0 + n - 1: each pixel's light comes from its slopes and
// its distance to the light (lx across, ry down), and each channel becomes
// (c * light) >> 7 as the general loop computes it. Light values are 0..127, so
// every product fits in 15 bits and the result in a byte; the top byte comes out 0.
struct BumpRow {
  const int8_t* slope_x;
  const int8_t* slope_y;
  const uint32_t* in;
  uint32_t* out;
};

void LightRow(const BumpRow& row, const uint8_t* light, int x0, int n, int lx, int ry) {
  int i = 0;
#if defined(__SSE2__)
  // Eight pixels at a time in 16-bit lanes. Distances saturate at +-32767 instead
  // of wrapping; anything that far clamps to 127 either way.
  const auto Saturate = [](int v) { return int16_t(v < -32768 ? -32768 : v > 32767 ? 32767 : v); };
  const __m128i zero = _mm_setzero_si128(), most = _mm_set1_epi16(127), eight = _mm_set1_epi16(8);
  const __m128i rgb = _mm_set1_epi32(0x00FFFFFF), down = _mm_set1_epi16(Saturate(ry));
  __m128i across = _mm_adds_epi16(_mm_set1_epi16(Saturate(x0 - lx)), _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7));
  const auto Distance = [&](const int8_t* slope, __m128i from) {
    __m128i s = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(slope));
    s = _mm_srai_epi16(_mm_unpacklo_epi8(s, s), 8);
    const __m128i d = _mm_subs_epi16(s, from);
    return _mm_min_epi16(_mm_max_epi16(d, _mm_subs_epi16(zero, d)), most);
  };
  // Four pixels lit by the lights in the four bytes of `four`.
  const auto Light4 = [&](const uint32_t* in, uint32_t* out, uint32_t four) {
    __m128i l = _mm_cvtsi32_si128(int(four));
    l = _mm_unpacklo_epi8(l, l);
    l = _mm_unpacklo_epi16(l, l);  // each pixel's light in its four bytes
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    const __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(p, zero), _mm_unpacklo_epi8(l, zero)), 7);
    const __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(p, zero), _mm_unpackhi_epi8(l, zero)), 7);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_and_si128(_mm_packus_epi16(lo, hi), rgb));
  };
  alignas(16) uint16_t index[8];
  for (; i + 8 <= n; i += 8) {
    const __m128i dx = Distance(row.slope_x + i, across), dy = Distance(row.slope_y + i, down);
    _mm_store_si128(reinterpret_cast<__m128i*>(index), _mm_or_si128(_mm_slli_epi16(dx, 7), dy));
    across = _mm_adds_epi16(across, eight);
    const auto Four = [&](int k) {
      return uint32_t(light[index[k]]) | uint32_t(light[index[k + 1]]) << 8 | uint32_t(light[index[k + 2]]) << 16 |
             uint32_t(light[index[k + 3]]) << 24;
    };
    Light4(row.in + i, row.out + i, Four(0));
    Light4(row.in + i + 4, row.out + i + 4, Four(4));
  }
#endif
  // Red and blue in one multiply: neither product reaches the other's byte.
  for (; i < n; ++i) {
    int dx = row.slope_x[i] - (x0 + i - lx), dy = row.slope_y[i] - ry;
    dx = dx < 0 ? -dx : dx;
    dy = dy < 0 ? -dy : dy;
    const uint32_t p = row.in[i], l = light[(dx > 127 ? 127 : dx) * 128 + (dy > 127 ? 127 : dy)];
    row.out[i] = ((((p & 0xFF00FF) * l) >> 7) & 0xFF00FF) | ((((p & 0x00FF00) * l) >> 7) & 0x00FF00);
  }
}

}  // namespace

// 32 bits in and out, the common case.
bool efx_bump::RunXrgb(bitmap& destination, int w, int h) {
  const int W = width;
  if (slope_x_.size() != size_t(W) * height || light_.empty()) return false;
  const uint8_t* src = static_cast<const uint8_t*>(desc.lpSurface);
  uint8_t* dst = static_cast<uint8_t*>(destination.desc.lpSurface);
  for (int y = 1; y < h - 1; ++y) {
    const size_t at = size_t(y) * W + 1;
    const BumpRow row{slope_x_.data() + at, slope_y_.data() + at,
                      reinterpret_cast<const uint32_t*>(src + size_t(y) * desc.lPitch) + 1,
                      reinterpret_cast<uint32_t*>(dst + size_t(y) * destination.desc.lPitch) + 1};
    LightRow(row, light_.data(), 1, w - 2, light_x, y - light_y);
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
