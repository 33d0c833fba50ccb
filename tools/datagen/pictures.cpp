#include "pictures.h"

#include <cmath>
#include <cstdio>

#include "canvas.h"

namespace datagen {
namespace {

constexpr double kPi = 3.14159265358979323846;

// The period's 16-colour palette: few colours, crisp edges.
const Rgb kBlack{0, 0, 0}, kBlue{0, 0, 0.667}, kLightBlue{0.333, 0.333, 1}, kWhite{1, 1, 1}, kRed{0.667, 0, 0},
    kGreen{0, 0.667, 0}, kLightGreen{0.333, 1, 0.333}, kYellow{1, 1, 0.333}, kGrey{0.667, 0.667, 0.667};

// The small emblem of the BIOS maker: a blue disc with a white H and a red orbit.
Canvas SmallLogo() {
  Canvas c(34, 34, kBlack);
  c.FillCircle(17, 17, 16, kBlue);
  c.Ring(17, 17, 13.5, 15, kLightBlue);
  c.FillRect(9, 8, 13, 26, kWhite);
  c.FillRect(21, 8, 25, 26, kWhite);
  c.FillRect(13, 15, 21, 19, kWhite);
  // An orbit crossing the H from lower left to upper right.
  for (double t = 0; t < 1; t += 0.002) {
    double x = 4 + 26 * t, y = 27 - 20 * t - 4 * std::sin(t * kPi);
    c.FillRect(int(x), int(y), int(x) + 2, int(y) + 1, kRed);
  }
  return c;
}

// The energy-saving emblem: a leaf with a lightning bolt in a rounded frame, and
// its name underneath.
Canvas LargeLogo() {
  const int W = 112, H = 80;
  Canvas c(W, H, kBlack);
  // Rounded frame, two pixels wide.
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      double dx = std::max(0.0, std::max(8.5 - x, x - (W - 9.5)));
      double dy = std::max(0.0, std::max(8.5 - y, y - (H - 9.5)));
      double d = std::hypot(dx, dy);
      bool edge = (dx > 0 || dy > 0) ? (d > 6.5 && d <= 8.5) : (x < 2 || y < 2 || x >= W - 2 || y >= H - 2);
      if (edge) c.at(x, y) = kLightGreen;
    }
  // The leaf: the lens between two circles, tilted.
  const double cx = W / 2.0, cy = 28;
  for (int y = 4; y < 54; ++y)
    for (int x = 20; x < W - 20; ++x) {
      double u = ((x + 0.5 - cx) + (y + 0.5 - cy)) / std::sqrt(2.0);
      double v = ((x + 0.5 - cx) - (y + 0.5 - cy)) / std::sqrt(2.0);
      if (std::hypot(u, v - 15) < 24 && std::hypot(u, v + 15) < 24) c.at(x, y) = kGreen;
      if (std::fabs(v) < 0.8 && std::fabs(u) < 17) c.at(x, y) = kLightGreen;  // the midrib
    }
  c.FillPolygon({{cx + 3, 10}, {cx - 9, 30}, {cx - 1, 30}, {cx - 5, 46}, {cx + 9, 24}, {cx + 1, 24}, {cx + 6, 10}},
                kYellow);
  c.Text((W - 11 * 8) / 2, 58, "POWER SAVER", 1, kLightGreen);
  return c;
}

// A bright plasma of tiles, rings and lettering: fine detail everywhere, so the
// twist reads at every radius.
Canvas TwirlPicture() {
  const int W = 320, H = 200;
  Canvas c(W, H);
  const double cx = W / 2.0, cy = H / 2.0;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      double d = std::hypot(x - cx, y - cy);
      double plasma = std::sin(x * 0.045) + std::sin(y * 0.061) + std::sin((x + y) * 0.033) + std::sin(d * 0.09);
      Rgb colour = Hsv(0.62 + plasma * 0.12, 0.85, 0.95);
      if (((x / 10) + (y / 10)) % 2) colour = Scale(colour, 0.72);  // checker tiles
      if (x % 20 == 0 || y % 20 == 0) colour = Mix(colour, kWhite, 0.45);
      c.at(x, y) = colour;
    }
  // A target of coloured rings with spokes around the centre.
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy), a = std::atan2(y + 0.5 - cy, x + 0.5 - cx);
      if (d < 92 && d > 18) {
        int band = int(d / 9);
        Rgb ring = Hsv(band * 0.13, 0.9, 1.0);
        if (std::fmod(a / (2 * kPi) * 24 + 24, 1.0) < 0.18) ring = Mix(ring, kBlack, 0.6);
        c.at(x, y) = Mix(c.at(x, y), ring, 0.55);
      }
    }
  int tw, th;
  auto mask = TextMask("VELMORA", 3, tw, th);
  const int tx = (W - tw) / 2, ty = (H - th) / 2;
  for (int y = -2; y < th + 2; ++y)
    for (int x = -2; x < tw + 2; ++x) {
      bool near = false;
      for (int dy = -2; dy <= 2 && !near; ++dy)
        for (int dx = -2; dx <= 2 && !near; ++dx) {
          int mx = x + dx, my = y + dy;
          near = mx >= 0 && my >= 0 && mx < tw && my < th && mask[size_t(my) * tw + mx];
        }
      if (near) c.set(tx + x, ty + y, kBlack);
    }
  for (int y = 0; y < th; ++y)
    for (int x = 0; x < tw; ++x)
      if (mask[size_t(y) * tw + x]) c.set(tx + x, ty + y, Mix(kYellow, kWhite, double(y) / th));
  // Small stars scattered over the picture.
  for (int i = 0; i < 60; ++i) {
    double sx = ValueNoise(i * 7.3, 1.1, 7) * W, sy = ValueNoise(2.2, i * 5.9, 9) * H;
    c.set(int(sx), int(sy), kWhite);
    c.set(int(sx) + 1, int(sy), kGrey);
    c.set(int(sx) - 1, int(sy), kGrey);
    c.set(int(sx), int(sy) + 1, kGrey);
    c.set(int(sx), int(sy) - 1, kGrey);
  }
  return c;
}

// Heights 0-1 of the embossed plate: a brushed surface, a bevelled frame, four
// rivets and raised lettering.
std::vector<double> PlateHeights(int W, int H, std::vector<uint8_t>& letters) {
  std::vector<double> h(size_t(W) * H);
  int tw, th;
  auto mask = TextMask("VELMORA", 4, tw, th);
  const int tx = (W - tw) / 2, ty = (H - th) / 2;
  letters.assign(size_t(W) * H, 0);
  for (int y = 0; y < th; ++y)
    for (int x = 0; x < tw; ++x)
      if (mask[size_t(y) * tw + x]) letters[size_t(ty + y) * W + tx + x] = 1;
  // Distance to the nearest letter pixel, up to 4, gives the letters a bevel.
  auto near_letter = [&](int x, int y) {
    double best = 5;
    for (int dy = -4; dy <= 4; ++dy)
      for (int dx = -4; dx <= 4; ++dx) {
        int px = x + dx, py = y + dy;
        if (px >= 0 && py >= 0 && px < W && py < H && letters[size_t(py) * W + px])
          best = std::min(best, std::hypot(dx, dy));
      }
    return best;
  };
  const double rivets[4][2] = {{20, 20}, {W - 20.0, 20}, {20, H - 20.0}, {W - 20.0, H - 20.0}};
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      double v = 0.22 + 0.06 * FractalNoise(x * 0.08, y * 0.5, 4, 3) + 0.03 * FractalNoise(x * 0.02, y * 0.02, 3, 5);
      int edge = std::min(std::min(x, y), std::min(W - 1 - x, H - 1 - y));
      if (edge < 10)
        v = 0.5 * Smoothstep(0, 6, edge) + 0.2;  // bevelled frame
      else if (edge < 12)
        v = 0.1;  // groove inside the frame
      for (auto& r : rivets) {
        double d = std::hypot(x - r[0], y - r[1]);
        if (d < 7) v = std::max(v, 0.3 + 0.5 * std::sqrt(1 - d * d / 49));
      }
      double d = near_letter(x, y);
      if (d < 5) v = std::max(v, 0.25 + 0.7 * Smoothstep(4.5, 0, d));
      h[size_t(y) * W + x] = Clamp01(v);
    }
  return h;
}

void BumpPictures(Canvas& colour, Canvas& height) {
  const int W = colour.width(), H = colour.height();
  std::vector<uint8_t> letters;
  std::vector<double> h = PlateHeights(W, H, letters);
  const Rgb bronze{0.72, 0.45, 0.24}, dark{0.42, 0.25, 0.13}, gold{0.98, 0.80, 0.35}, steel{0.75, 0.78, 0.82};
  const double rivets[4][2] = {{20, 20}, {W - 20.0, 20}, {20, H - 20.0}, {W - 20.0, H - 20.0}};
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      double v = h[size_t(y) * W + x];
      // Brushed streaks run along the rows.
      double streak = 0.85 + 0.3 * FractalNoise(x * 0.01, y * 0.9, 3, 11);
      Rgb c = Scale(bronze, streak);
      int edge = std::min(std::min(x, y), std::min(W - 1 - x, H - 1 - y));
      if (edge < 12) c = Mix(dark, bronze, v);
      for (auto& r : rivets)
        if (std::hypot(x - r[0], y - r[1]) < 7) c = Scale(steel, 0.7 + 0.4 * v);
      if (letters[size_t(y) * W + x])
        c = Scale(gold, 0.9 + 0.1 * streak);
      else if (v > 0.3 && edge >= 12)
        c = Mix(c, gold, 0.5);  // the letters' bevel
      colour.at(x, y) = c;
      // Grey 2h encodes height h: the loader takes (r + g + b) / 6.
      height.at(x, y) = Rgb{v, v, v};
    }
}

}  // namespace

bool WritePictures(const std::string& dir) {
  bool ok = SmallLogo().WriteBmp(dir + "/bios_pieni.bmp");
  ok = LargeLogo().WriteBmp(dir + "/bios_iso.bmp") && ok;
  ok = TwirlPicture().WriteBmp(dir + "/twirl.bmp") && ok;
  Canvas colour(320, 200), height(320, 200);
  BumpPictures(colour, height);
  ok = colour.WriteBmp(dir + "/bump.bmp") && ok;
  ok = height.WriteBmp(dir + "/height.bmp") && ok;
  return ok;
}

}  // namespace datagen

namespace datagen {

namespace {

// A strip of 98 cells of the VGA glyphs (8 x `rows` pixels) in the font's slot
// order, white on a magenta key colour, and the definition file that names it.
bool WriteFontStrip(const std::string& dir, int rows, const std::string& strip_name, const std::string& def_name) {
  std::vector<unsigned char> slots;
  for (int c = 'a'; c <= 'z'; ++c) slots.push_back(uint8_t(c));
  slots.insert(slots.end(), {0xE5, 0xE4, 0xF6});  // å ä, and ö in the slot no character draws
  for (int c = 'A'; c <= 'Z'; ++c) slots.push_back(uint8_t(c));
  slots.insert(slots.end(), {0xC5, 0xC4, 0xD6});  // Å Ä (drawn by no character), Ö
  for (int c = '0'; c <= '9'; ++c) slots.push_back(uint8_t(c));
  const char* symbols = "\xA7!\"#\xA4%&/()=?@\xA3${[]}\\+,.-_|<>;:";
  for (const char* p = symbols; *p; ++p) slots.push_back(static_cast<unsigned char>(*p));
  const Rgb key{1, 0, 1}, ink{1, 1, 1};
  Canvas strip(int(slots.size()) * 8, rows, key);
  for (size_t i = 0; i < slots.size(); ++i) strip.Text(int(i) * 8, 0, std::string(1, char(slots[i])), 1, ink, rows);
  if (slots.size() != 98 || !strip.WriteBmp(dir + "/" + strip_name)) return false;
  FILE* f = std::fopen((dir + "/" + def_name).c_str(), "wb");
  if (!f) return false;
  const std::string text = "[font]\n0 = console\n\n[console]\n# the VGA glyphs, 8 x " + std::to_string(rows) +
                           " pixels a cell\nfile = data/" + strip_name + "\nx = 8\ny = " + std::to_string(rows) + "\n";
  bool ok = std::fputs(text.c_str(), f) >= 0;
  return std::fclose(f) == 0 && ok;
}

// The live console's backdrop: deep blue, darker downwards, faint scan lines and
// a bright rule along the bottom edge, so white text reads over any picture.
bool WriteConsoleBackdrop(const std::string& dir) {
  constexpr int kWidth = 320, kHeight = 96;
  Canvas c(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    const double t = double(y) / (kHeight - 1);
    Rgb row = Mix(Rgb{0.05, 0.08, 0.22}, Rgb{0.01, 0.02, 0.08}, t);
    if (y % 2) row = Scale(row, 0.8);
    for (int x = 0; x < kWidth; ++x) c.at(x, y) = row;
  }
  c.FillRect(0, kHeight - 2, kWidth, kHeight - 1, Rgb{0.35, 0.75, 1.0});
  c.FillRect(0, kHeight - 1, kWidth, kHeight, Rgb{0.1, 0.25, 0.4});
  return c.WriteBmp(dir + "/console.bmp");
}

}  // namespace

// The console fonts: 8x16 for the engine's consoles, 8x8 for the live console at
// low resolutions; and the live console's backdrop.
bool WriteConsoleFont(const std::string& dir) {
  bool ok = WriteFontStrip(dir, 16, "console8x16.bmp", "fonts.def");
  ok = WriteFontStrip(dir, 8, "console8x8.bmp", "fonts-small.def") && ok;
  return WriteConsoleBackdrop(dir) && ok;
}

}  // namespace datagen
