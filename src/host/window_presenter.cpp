#include "host/window_presenter.h"

#include <SDL.h>

#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/gpu_probe.h"
#include "host/last_error.h"
#include "host/picture_geometry.h"
#include "host/screen_memory.h"
#include "host/sdl_window.h"
#include "host/settings.h"
#include "host/window_overlay.h"

namespace host {
namespace {

struct Tap {
  int first, second;
  uint32_t weight;
};

// The column and row tables of one scaling (source size, target rectangle and
// filter), kept while they stay the same: rebuilding them is as much work as a
// small frame.
struct ScaleTables {
  int width = 0, height = 0, kx = 0, ky = 0, filter = -1;
  SDL_Rect to{0, 0, 0, 0};
  std::vector<int> column, blended;
  std::vector<Tap> across, down;
  std::vector<uint32_t> rows[2];
  void Reset(int w, int h, int k_x, int k_y, int f, const SDL_Rect& t) {
    *this = ScaleTables{};
    width = w, height = h, kx = k_x, ky = k_y, filter = f, to = t;
  }
  bool Matches(int w, int h, int k_x, int k_y, int f, const SDL_Rect& t) const {
    return width == w && height == h && kx == k_x && ky == k_y && filter == f && to.x == t.x && to.y == t.y &&
           to.w == t.w && to.h == t.h;
  }
};

constexpr int kOverlaySlots = 2;

// What a window keeps between frames: the renderer and its textures on the GPU
// path, the 32-bit copy and the whole-multiple picture on the CPU path.
struct Presenter {
  bool chosen = false;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* frame = nullptr;
  int frame_width = 0, frame_height = 0;
  Uint32 frame_format = 0;
  SDL_Texture* enlarged_texture = nullptr;
  int enlarged_width = 0, enlarged_height = 0;
  SDL_Surface* xrgb = nullptr;  // a 16- or 24-bit frame in 32 bits, for the CPU filters
  struct OverlayTexture {
    SDL_Texture* texture = nullptr;
    int width = 0, height = 0;
    Uint32 format = 0;
  } overlays[kOverlaySlots];
  ScaleTables tables;
  // The window surface and the picture's place when the borders were last made
  // black: they stay black until either changes.
  SDL_Surface* bordered = nullptr;
  int bordered_w = 0, bordered_h = 0;
  SDL_Rect bordered_to{0, 0, 0, 0};
};
// The overlays, and where the frames were last shown (for the overlays' layout).
struct Shown {
  std::optional<Overlay> overlays[kOverlaySlots];
  SDL_Window* window = nullptr;
  int frame_width = 0, frame_height = 0;
};
Shown& shown() {
  static Shown s;
  return s;
}

std::map<SDL_Window*, Presenter>& presenters() {
  static std::map<SDL_Window*, Presenter> p;
  return p;
}

Uint32 SdlFormat(int bytes_per_pixel) {
  return bytes_per_pixel == 2   ? SDL_PIXELFORMAT_RGB565
         : bytes_per_pixel == 3 ? SDL_PIXELFORMAT_BGR24
                                : SDL_PIXELFORMAT_RGB888;
}

// A surface of the given size and format, kept while the size stays.
SDL_Surface* Kept(SDL_Surface*& s, int width, int height) {
  if (s && (s->w != width || s->h != height)) {
    SDL_FreeSurface(s);
    s = nullptr;
  }
  if (!s) s = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGB888);
  return s;
}

// Nearest-neighbour scaling of 32-bit pixels into `to` of a 32-bit surface, a
// row at a time; an enlarged row that repeats the one above is copied whole.
void NearestXrgb(const uint8_t* pixels, int width, int height, int pitch, SDL_Surface* target, const SDL_Rect& to,
                 ScaleTables& t) {
  if (!t.Matches(width, height, 0, 0, int(Filter::kNearest), to)) {
    t.Reset(width, height, 0, 0, int(Filter::kNearest), to);
    t.column.resize(size_t(to.w));
    for (int x = 0; x < to.w; ++x) t.column[size_t(x)] = int(int64_t(x) * width / to.w);
  }
  const std::vector<int>& column = t.column;
  const uint32_t* previous_source = nullptr;
  uint32_t* previous_row = nullptr;
  for (int y = 0; y < to.h; ++y) {
    const auto* source = reinterpret_cast<const uint32_t*>(pixels + size_t(int64_t(y) * height / to.h) * size_t(pitch));
    auto* row =
        reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(target->pixels) + size_t(to.y + y) * target->pitch) + to.x;
    if (source == previous_source) {
      std::memcpy(row, previous_row, size_t(to.w) * 4);
    } else {
      for (int x = 0; x < to.w; ++x) row[x] = source[column[size_t(x)]];
    }
    previous_source = source;
    previous_row = row;
  }
}

// Where output column (or row) i of `out` samples a picture of `in` pixels that
// was first enlarged `k` times by nearest neighbour: the two source pixels and
// the weight (0-256) of the second, as bilinear filtering of the enlarged picture
// gives them. k = 1 is plain bilinear scaling.
std::vector<Tap> Taps(int in, int k, int out) {
  std::vector<Tap> taps(static_cast<size_t>(out));
  const double big = double(in) * k;
  for (int i = 0; i < out; ++i) {
    double u = (i + 0.5) * big / out - 0.5;
    u = u < 0 ? 0 : u > big - 1 ? big - 1 : u;
    const int at = int(u);
    const int next = at + 1 < int(big) ? at + 1 : at;
    const int a = at / k, b = next / k;
    taps[size_t(i)] = Tap{a, b, a == b ? 0u : uint32_t((u - at) * 256 + 0.5)};
  }
  return taps;
}

inline uint32_t Blend(uint32_t a, uint32_t b, uint32_t w) {
  const uint32_t v = 256 - w;
  const uint32_t rb = (((a & 0xFF00FF) * v + (b & 0xFF00FF) * w) >> 8) & 0xFF00FF;
  const uint32_t g = (((a & 0x00FF00) * v + (b & 0x00FF00) * w) >> 8) & 0x00FF00;
  return rb | g;
}

// A whole row blended byte by byte in 16-bit lanes, which the compiler turns into
// SIMD; per channel the same (a * (256 - w) + b * w) >> 8 as Blend.
void BlendRow(const uint32_t* a, const uint32_t* b, uint32_t w, uint32_t* out, int n) {
  const auto* pa = reinterpret_cast<const uint8_t*>(a);
  const auto* pb = reinterpret_cast<const uint8_t*>(b);
  auto* po = reinterpret_cast<uint8_t*>(out);
  const uint16_t wb = uint16_t(w), wa = uint16_t(256 - w);
  for (int i = 0; i < 4 * n; ++i) po[i] = uint8_t(uint16_t(pa[i] * wa + pb[i] * wb) >> 8);
}

// The sharp (k > 1) and linear (k = 1) filters in one separable pass: each
// source row is filtered across once, and output rows that fall inside one
// enlarged row are copies of it; only rows on a boundary are blended.
void FilteredXrgb(const uint8_t* pixels, int width, int height, int pitch, int kx, int ky, SDL_Surface* target,
                  const SDL_Rect& to, ScaleTables& t) {
  if (!t.Matches(width, height, kx, ky, int(Filter::kSharp), to)) {
    t.Reset(width, height, kx, ky, int(Filter::kSharp), to);
    t.across = Taps(width, kx, to.w);
    t.down = Taps(height, ky, to.h);
    // Across a row most pixels copy one source pixel: a gather, then the few
    // blended columns on the boundaries.
    t.column.resize(size_t(to.w));
    for (int x = 0; x < to.w; ++x) {
      t.column[size_t(x)] = t.across[size_t(x)].first;
      if (t.across[size_t(x)].weight) t.blended.push_back(x);
    }
    t.rows[0].resize(size_t(to.w));
    t.rows[1].resize(size_t(to.w));
  }
  const std::vector<Tap>&across = t.across, &down = t.down;
  const std::vector<int>&column = t.column, &blended = t.blended;
  std::vector<uint32_t>* rows = t.rows;
  int held[2] = {-1, -1};
  auto filtered = [&](int source_row) -> const uint32_t* {
    for (int s = 0; s < 2; ++s)
      if (held[s] == source_row) return rows[s].data();
    const int s = held[0] == source_row - 1 ? 1 : 0;  // keep the row above when moving down
    const auto* src = reinterpret_cast<const uint32_t*>(pixels + size_t(source_row) * size_t(pitch));
    uint32_t* out = rows[s].data();
    const int* col = column.data();
    for (int x = 0; x < to.w; ++x) out[x] = src[col[x]];
    for (int x : blended) {
      const Tap& t = across[size_t(x)];
      out[x] = Blend(src[t.first], src[t.second], t.weight);
    }
    held[s] = source_row;
    return out;
  };
  for (int y = 0; y < to.h; ++y) {
    const Tap& t = down[size_t(y)];
    auto* row =
        reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(target->pixels) + size_t(to.y + y) * target->pitch) + to.x;
    const uint32_t* a = filtered(t.first);
    if (!t.weight) {
      std::memcpy(row, a, size_t(to.w) * 4);
      continue;
    }
    BlendRow(a, filtered(t.second), t.weight, row, to.w);
  }
}

// The largest whole multiple of the picture inside `to`, per axis: the sharp
// filter's first step, after which only the last fraction is interpolated.
SDL_Rect WholeMultiple(int width, int height, const SDL_Rect& to) {
  const int kx = to.w / width > 0 ? to.w / width : 1, ky = to.h / height > 0 ? to.h / height : 1;
  return SDL_Rect{0, 0, kx * width, ky * height};
}

// The part of the overlay that fits the picture's place `to`, and where it
// goes: from the place's top-left corner (the timeline: its bottom-left), each
// pixel `scale` squares.
void OverlayRects(const Overlay& o, OverlaySlot slot, const SDL_Rect& to, SDL_Rect& part, SDL_Rect& place) {
  part = SDL_Rect{0, 0, std::min(o.width, to.w / o.scale), std::min(o.height, to.h / o.scale)};
  const int y = slot == OverlaySlot::kTimeline ? to.y + to.h - part.h * o.scale : to.y;
  place = SDL_Rect{to.x, y, part.w * o.scale, part.h * o.scale};
}

// A streaming texture of this size and format, kept while they stay.
SDL_Texture* KeptTexture(SDL_Renderer* renderer, SDL_Texture*& texture, int& width, int& height, Uint32& format,
                         int new_width, int new_height, Uint32 new_format) {
  if (!texture || width != new_width || height != new_height || format != new_format) {
    if (texture) SDL_DestroyTexture(texture);
    texture = SDL_CreateTexture(renderer, new_format, SDL_TEXTUREACCESS_STREAMING, new_width, new_height);
    width = new_width;
    height = new_height;
    format = new_format;
  }
  return texture;
}

void DrawOverlaysOnCpu(SDL_Surface* screen, const SDL_Rect& to) {
  for (int slot = 0; slot < kOverlaySlots; ++slot) {
    if (!shown().overlays[slot]) continue;
    const Overlay& o = *shown().overlays[slot];
    SDL_Surface* source =
        SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(o.pixels), o.width, o.height, o.bytes_per_pixel * 8,
                                           o.pitch, SdlFormat(o.bytes_per_pixel));
    if (!source) continue;
    if (o.alpha < 255) {
      SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_BLEND);
      SDL_SetSurfaceAlphaMod(source, o.alpha);
    }
    SDL_Rect part, place;
    OverlayRects(o, OverlaySlot(slot), to, part, place);
    SDL_BlitScaled(source, &part, screen, &place);
    SDL_FreeSurface(source);
  }
}

void PresentOnCpu(SDL_Window* window, Presenter& pr, const FramePixels& f) {
  SDL_Surface* screen = SDL_GetWindowSurface(window);
  SDL_Surface* frame = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(f.pixels), f.width, f.height,
                                                          f.bytes_per_pixel * 8, f.pitch, SdlFormat(f.bytes_per_pixel));
  if (!screen || !frame) {
    if (frame) SDL_FreeSurface(frame);
    return;
  }
  const PictureRect place = PlacePicture(f.width, f.height, screen->w, screen->h, PictureAspect(), PictureScale());
  SDL_Rect to{place.x, place.y, place.width, place.height};
  if (pr.bordered != screen || pr.bordered_w != screen->w || pr.bordered_h != screen->h ||
      std::memcmp(&pr.bordered_to, &to, sizeof to) != 0) {
    const Uint32 black = SDL_MapRGB(screen->format, 0, 0, 0);
    const SDL_Rect borders[4] = {{0, 0, screen->w, to.y},
                                 {0, to.y + to.h, screen->w, screen->h - to.y - to.h},
                                 {0, to.y, to.x, to.h},
                                 {to.x + to.w, to.y, screen->w - to.x - to.w, to.h}};
    for (const SDL_Rect& b : borders)
      if (b.w > 0 && b.h > 0) SDL_FillRect(screen, &b, black);
    pr.bordered = screen;
    pr.bordered_w = screen->w;
    pr.bordered_h = screen->h;
    pr.bordered_to = to;
  }

  const bool xrgb_screen = screen->format->format == SDL_PIXELFORMAT_RGB888;
  Filter filter = PictureFilter();
  const SDL_Rect whole = WholeMultiple(f.width, f.height, to);
  if (filter == Filter::kSharp && whole.w == to.w && whole.h == to.h) filter = Filter::kNearest;
  // The scalers work on 32-bit pixels: a 16- or 24-bit frame is converted once,
  // at its own size (SDL's scaled copy that converts as it goes costs twenty
  // times as much).
  const bool same_size = to.w == f.width && to.h == f.height;
  SDL_Surface* source = f.bytes_per_pixel == 4 ? frame : nullptr;
  if (!source && !same_size && xrgb_screen) {
    source = Kept(pr.xrgb, f.width, f.height);
    if (source && SDL_BlitSurface(frame, nullptr, source, nullptr) != 0) source = nullptr;
  }

  if (same_size) {
    SDL_BlitSurface(frame, nullptr, screen, &to);
  } else if (!xrgb_screen || !source) {
    SDL_BlitScaled(frame, nullptr, screen, &to);
  } else if (!SDL_MUSTLOCK(screen) || SDL_LockSurface(screen) == 0) {
    const auto* pixels = static_cast<const uint8_t*>(source->pixels);
    if (filter == Filter::kNearest)
      NearestXrgb(pixels, f.width, f.height, source->pitch, screen, to, pr.tables);
    else if (filter == Filter::kLinear)
      FilteredXrgb(pixels, f.width, f.height, source->pitch, 1, 1, screen, to, pr.tables);
    else
      FilteredXrgb(pixels, f.width, f.height, source->pitch, whole.w / f.width, whole.h / f.height, screen, to,
                   pr.tables);
    if (SDL_MUSTLOCK(screen)) SDL_UnlockSurface(screen);
  }
  SDL_FreeSurface(frame);
  DrawOverlaysOnCpu(screen, to);
  SDL_UpdateWindowSurface(window);
}

void DrawOverlaysOnGpu(Presenter& pr, const SDL_Rect& to) {
  for (int slot = 0; slot < kOverlaySlots; ++slot) {
    if (!shown().overlays[slot]) continue;
    const Overlay& o = *shown().overlays[slot];
    Presenter::OverlayTexture& t = pr.overlays[slot];
    if (!KeptTexture(pr.renderer, t.texture, t.width, t.height, t.format, o.width, o.height,
                     SdlFormat(o.bytes_per_pixel)))
      continue;
    SDL_SetTextureScaleMode(t.texture, SDL_ScaleModeNearest);
    SDL_SetTextureBlendMode(t.texture, o.alpha < 255 ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE);
    SDL_SetTextureAlphaMod(t.texture, o.alpha);
    if (SDL_UpdateTexture(t.texture, nullptr, o.pixels, o.pitch) != 0) continue;
    SDL_Rect part, place;
    OverlayRects(o, OverlaySlot(slot), to, part, place);
    SDL_RenderCopy(pr.renderer, t.texture, &part, &place);
  }
}

bool PresentOnGpu(Presenter& pr, const FramePixels& f) {
  if (!KeptTexture(pr.renderer, pr.frame, pr.frame_width, pr.frame_height, pr.frame_format, f.width, f.height,
                   SdlFormat(f.bytes_per_pixel)))
    return false;
  // One upload a frame at the mode's size; the GPU scales and filters.
  if (SDL_UpdateTexture(pr.frame, nullptr, f.pixels, f.pitch) != 0) return false;
  int out_w = 0, out_h = 0;
  SDL_GetRendererOutputSize(pr.renderer, &out_w, &out_h);
  const PictureRect place = PlacePicture(f.width, f.height, out_w, out_h, PictureAspect(), PictureScale());
  const SDL_Rect to{place.x, place.y, place.width, place.height};
  SDL_SetRenderTarget(pr.renderer, nullptr);
  SDL_SetRenderDrawColor(pr.renderer, 0, 0, 0, 255);
  SDL_RenderClear(pr.renderer);
  Filter filter = PictureFilter();
  const SDL_Rect whole = WholeMultiple(f.width, f.height, to);
  if (filter == Filter::kSharp && whole.w == to.w && whole.h == to.h) filter = Filter::kNearest;
  if (filter != Filter::kSharp) {
    SDL_SetTextureScaleMode(pr.frame, filter == Filter::kLinear ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
    SDL_RenderCopy(pr.renderer, pr.frame, nullptr, &to);
  } else {
    if (!pr.enlarged_texture || pr.enlarged_width != whole.w || pr.enlarged_height != whole.h) {
      if (pr.enlarged_texture) SDL_DestroyTexture(pr.enlarged_texture);
      pr.enlarged_texture =
          SDL_CreateTexture(pr.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET, whole.w, whole.h);
      pr.enlarged_width = whole.w;
      pr.enlarged_height = whole.h;
      if (!pr.enlarged_texture) return false;
      SDL_SetTextureScaleMode(pr.enlarged_texture, SDL_ScaleModeLinear);
    }
    SDL_SetTextureScaleMode(pr.frame, SDL_ScaleModeNearest);
    SDL_SetRenderTarget(pr.renderer, pr.enlarged_texture);
    SDL_RenderCopy(pr.renderer, pr.frame, nullptr, nullptr);
    SDL_SetRenderTarget(pr.renderer, nullptr);
    SDL_RenderCopy(pr.renderer, pr.enlarged_texture, nullptr, &to);
  }
  DrawOverlaysOnGpu(pr, to);
  SDL_RenderPresent(pr.renderer);
  return true;
}

void Release(Presenter& pr) {
  if (pr.frame) SDL_DestroyTexture(pr.frame);
  if (pr.enlarged_texture) SDL_DestroyTexture(pr.enlarged_texture);
  if (pr.renderer) SDL_DestroyRenderer(pr.renderer);
  if (pr.xrgb) SDL_FreeSurface(pr.xrgb);
  for (const Presenter::OverlayTexture& t : pr.overlays)
    if (t.texture) SDL_DestroyTexture(t.texture);
  pr = Presenter{};
}

// The window's presenter, its renderer chosen on first use.
Presenter& PresenterOf(SDL_Window* window) {
  Presenter& pr = presenters()[window];
  if (!pr.chosen) {
    pr.chosen = true;
    const Renderer wanted = ChosenRenderer();
    if (wanted == Renderer::kGpu || (wanted == Renderer::kAuto && RealGpuAvailable())) {
      pr.renderer =
          SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | (Vsync() ? SDL_RENDERER_PRESENTVSYNC : 0));
      if (!pr.renderer && wanted == Renderer::kGpu)
        SetLastErrorText(std::string("no GPU renderer (") + SDL_GetError() + "); presenting on the CPU");
    }
  }
  return pr;
}

}  // namespace

void PresentInWindow(Window* handle, const FramePixels& frame) {
  SDL_Window* window = SdlWindow(handle);
  shown().window = window;
  shown().frame_width = frame.width;
  shown().frame_height = frame.height;
  Presenter& pr = PresenterOf(window);
  if (pr.renderer && PresentOnGpu(pr, frame)) return;
  if (!pr.renderer) PresentOnCpu(window, pr, frame);
}

uint8_t* WindowSurfaceFor(Window* handle, int width, int height, int pitch, int bytes_per_pixel) {
  if (bytes_per_pixel != 4 || !WindowStillFits(handle, width, height)) return nullptr;
  SDL_Window* window = SdlWindow(handle);
  Presenter& pr = PresenterOf(window);
  if (pr.renderer) return nullptr;
  SDL_Surface* screen = SDL_GetWindowSurface(window);
  if (!screen || screen->w != width || screen->h != height || screen->pitch != pitch || SDL_MUSTLOCK(screen) ||
      screen->format->format != SDL_PIXELFORMAT_RGB888)
    return nullptr;
  // Only a picture the aspect rule shows one for one may live there: 320 x 200
  // on a screen of that size is shown at 4:3, narrower, with black beside it.
  const PictureRect place = PlacePicture(width, height, width, height, PictureAspect(), PictureScale());
  if (place.x != 0 || place.y != 0 || place.width != width || place.height != height) return nullptr;
  pr.bordered = nullptr;  // the picture covers the whole surface
  return static_cast<uint8_t*>(screen->pixels);
}

bool WindowStillFits(Window* window, int width, int height) {
  int w = 0, h = 0;
  SDL_GetWindowSize(SdlWindow(window), &w, &h);
  return w == width && h == height;
}

bool ShowWindowSurface(Window* window) { return SDL_UpdateWindowSurface(SdlWindow(window)) == 0; }

void WindowChanged(Window* window) {
  ScreenMemory::TakeBackFrom(window);
  auto it = presenters().find(SdlWindow(window));
  if (it != presenters().end()) it->second.bordered = nullptr;
}

void ForgetWindow(Window* handle) {
  ScreenMemory::TakeBackFrom(handle);
  SDL_Window* window = SdlWindow(handle);
  if (shown().window == window) shown().window = nullptr;
  auto it = presenters().find(window);
  if (it == presenters().end()) return;
  Release(it->second);
  presenters().erase(it);
}

void SetOverlay(const Overlay* overlay, OverlaySlot slot) {
  std::optional<Overlay>& kept = shown().overlays[int(slot)];
  kept.reset();
  if (overlay) kept = *overlay;
}
const Overlay* CurrentOverlay(OverlaySlot slot) {
  const std::optional<Overlay>& kept = shown().overlays[int(slot)];
  return kept ? &*kept : nullptr;
}
bool AnyOverlay() {
  for (const std::optional<Overlay>& o : shown().overlays)
    if (o) return true;
  return false;
}

PictureRect ShownPictureArea() {
  const Shown& s = shown();
  if (!s.window) return {};
  int w = 0, h = 0;
  SDL_GetWindowSizeInPixels(s.window, &w, &h);
  return PlacePicture(s.frame_width, s.frame_height, w, h, PictureAspect(), PictureScale());
}

bool PresentingOnGpu() {
  for (auto& [window, pr] : presenters())
    if (pr.renderer) return true;
  return false;
}

}  // namespace host
