#include "models.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "winapi/vga_font.h"

namespace datagen {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct Vec {
  float x, y, z;
};

// One object of the object file. Every face (a, b, c) is drawn as the edge b-c, so
// an edge is stored as the face (b, b, c).
struct Mesh {
  std::vector<Vec> vertices;
  std::vector<uint32_t> faces;  // three indices per face
  uint32_t Add(Vec v) {
    vertices.push_back(v);
    return uint32_t(vertices.size() - 1);
  }
  void Edge(uint32_t a, uint32_t b) { faces.insert(faces.end(), {a, a, b}); }
};

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}
void PutFloat(std::vector<uint8_t>& out, float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, 4);
  Put32(out, bits);
}

bool WriteObjects(const std::string& path, const std::vector<Mesh>& meshes) {
  std::vector<uint8_t> out;
  Put32(out, uint32_t(meshes.size()));
  for (const Mesh& m : meshes) {
    Put32(out, uint32_t(m.vertices.size()));
    for (const Vec& v : m.vertices) PutFloat(out, v.x), PutFloat(out, v.y), PutFloat(out, v.z);
    Put32(out, uint32_t(m.faces.size() / 3));
    for (uint32_t i : m.faces) Put32(out, i);
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  return std::fclose(f) == 0 && ok;
}

// The contour bottle as a surface of revolution about the z axis: rings of
// constant height and meridians, every edge once. Heights run from the base
// (z = -216) to the crown cap (z = +216); rotation A = 270 turns +z to screen-up.
Mesh ColaBottle() {
  struct Station {
    double z, r, flutes;  // flutes: depth of the vertical ribs at this height
  };
  const Station profile[] = {
      {0, 36, 0},      {5, 49, 0},   {16, 54, 0.05},  {40, 57, 0.07},  {70, 57, 0.07},  {100, 54, 0.06},
      {128, 50, 0.02}, {150, 48, 0}, {175, 49, 0},    {200, 54, 0.03}, {228, 58, 0.07}, {255, 55, 0.06},
      {280, 46, 0.03}, {305, 36, 0}, {330, 28, 0},    {355, 23, 0},    {380, 21, 0},    {396, 22, 0},
      {402, 25, 0},    {408, 22, 0}, {414, 26, 0.12}, {422, 26, 0.12}, {428, 22, 0},    {432, 12, 0},
  };
  const int meridians = 20;
  const int rings = int(sizeof profile / sizeof profile[0]);
  Mesh m;
  std::vector<std::vector<uint32_t>> index(rings, std::vector<uint32_t>(meridians));
  for (int i = 0; i < rings; ++i)
    for (int j = 0; j < meridians; ++j) {
      double a = 2 * kPi * j / meridians;
      // Alternate meridians sit out and in: the ribs of the fluted glass.
      double r = profile[i].r * (1 + profile[i].flutes * (j % 2 ? -1 : 1));
      index[i][j] = m.Add(Vec{float(r * std::cos(a)), float(r * std::sin(a)), float(profile[i].z - 216)});
    }
  const uint32_t bottom = m.Add(Vec{0, 0, -216}), top = m.Add(Vec{0, 0, 432 - 216});
  for (int i = 0; i < rings; ++i)
    for (int j = 0; j < meridians; ++j) {
      m.Edge(index[i][j], index[i][(j + 1) % meridians]);
      if (i + 1 < rings) m.Edge(index[i][j], index[i + 1][j]);
    }
  for (int j = 0; j < meridians; j += 2) {
    m.Edge(bottom, index[0][j]);
    m.Edge(index[rings - 1][j], top);
  }
  return m;
}

// A letter from the 8x16 VGA glyph: the outline of its pixels, merged into
// straight runs, as a front and a back outline joined by depth edges at every
// corner. 8.75 units per pixel makes the cell 70 wide; the cell centre is the
// origin and y grows downward like the screen.
Mesh Letter(unsigned char code) {
  const double unit = 8.75, depth = 9;
  auto filled = [&](int x, int y) {
    return x >= 0 && x < 8 && y >= 0 && y < 16 && (kVgaFont8x16[code][y] & (0x80 >> x));
  };
  // Directed boundary edges on the pixel grid, clockwise around the filled pixels
  // in screen orientation.
  std::multimap<std::pair<int, int>, std::pair<int, int>> next;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 8; ++x) {
      if (!filled(x, y)) continue;
      if (!filled(x, y - 1)) next.insert({{x, y}, {x + 1, y}});
      if (!filled(x + 1, y)) next.insert({{x + 1, y}, {x + 1, y + 1}});
      if (!filled(x, y + 1)) next.insert({{x + 1, y + 1}, {x, y + 1}});
      if (!filled(x - 1, y)) next.insert({{x, y + 1}, {x, y}});
    }
  Mesh m;
  while (!next.empty()) {
    // Walk one loop.
    std::vector<std::pair<int, int>> loop;
    auto it = next.begin();
    std::pair<int, int> start = it->first, at = start, prev_dir{0, 0};
    do {
      auto range = next.equal_range(at);
      auto chosen = range.first;
      // Where two loops touch at a corner, turn right to stay on this one.
      for (auto e = range.first; e != range.second; ++e) {
        std::pair<int, int> dir{e->second.first - at.first, e->second.second - at.second};
        if (dir.first == -prev_dir.second && dir.second == prev_dir.first) chosen = e;
      }
      std::pair<int, int> to = chosen->second;
      prev_dir = {to.first - at.first, to.second - at.second};
      loop.push_back(at);
      next.erase(chosen);
      at = to;
    } while (at != start && next.count(at));
    // Keep the corners only.
    std::vector<std::pair<int, int>> corners;
    const size_t n = loop.size();
    for (size_t i = 0; i < n; ++i) {
      auto p = loop[(i + n - 1) % n], c = loop[i], q = loop[(i + 1) % n];
      if ((c.first - p.first) * (q.second - c.second) != (c.second - p.second) * (q.first - c.first))
        corners.push_back(c);
    }
    std::vector<uint32_t> front, back;
    for (auto [x, y] : corners) {
      float fx = float((x - 4) * unit), fy = float((y - 8) * unit);
      front.push_back(m.Add(Vec{fx, fy, float(-depth)}));
      back.push_back(m.Add(Vec{fx, fy, float(depth)}));
    }
    for (size_t i = 0; i < corners.size(); ++i) {
      size_t j = (i + 1) % corners.size();
      m.Edge(front[i], front[j]);
      m.Edge(back[i], back[j]);
      m.Edge(front[i], back[i]);
    }
  }
  return m;
}

std::vector<Mesh> CaptionFont() {
  std::vector<unsigned char> codes;
  for (int c = 'A'; c <= 'Z'; ++c) codes.push_back(uint8_t(c));
  codes.insert(codes.end(), {197, 196, 214});  // Å Ä Ö
  for (int c = 'a'; c <= 'z'; ++c) codes.push_back(uint8_t(c));
  codes.insert(codes.end(), {229, 228});  // å ä
  for (int c = '0'; c <= '9'; ++c) codes.push_back(uint8_t(c));
  codes.push_back('-');
  std::vector<Mesh> letters;
  for (unsigned char c : codes) letters.push_back(Letter(c));
  return letters;
}

}  // namespace

bool WriteModels(const std::string& dir) {
  bool ok = WriteObjects(dir + "/Cola.obj", {ColaBottle()});
  return WriteObjects(dir + "/font.ult", CaptionFont()) && ok;
}

}  // namespace datagen
