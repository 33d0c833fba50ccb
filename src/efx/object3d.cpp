#include "efx/object3d.h"

#include <cmath>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "base/little_endian.h"
#include "base/logfile.h"
#include "base/user_warning.h"
#include "efx/trig_tables.h"
#include "image/file_bytes.h"

namespace {

float F32(const uint8_t* p) {
  uint32_t bits = ReadLe32(p);
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}

float Fold(float angle) {
  if (angle > 360.0) return static_cast<float>(angle - 360.0);
  if (angle < 0.0) return static_cast<float>(angle + 360.0);
  return angle;
}

// Table index of an angle in degrees; 360 (and anything a single fold left
// outside the table) wraps.
int TableIndex(float angle) {
  if (!(angle > -1e9f && angle < 1e9f)) return 0;
  int k = static_cast<int>(angle) % 360;
  return k < 0 ? k + 360 : k;
}

// Screen coordinates far outside any target are held where the line clamping
// still works in 32-bit integers.
int ScreenCoordinate(float v) {
  constexpr float kLimit = 1 << 28;
  if (!(v > -kLimit)) return -(1 << 28);
  if (v > kLimit) return 1 << 28;
  return static_cast<int>(v);
}

}  // namespace

ObjectParse ParseObject(const uint8_t* data, size_t size, uint32_t num, ObjectRecord& out) {
  if (!data || size < 4) return ObjectParse::NoCount;
  out.object_count = ReadLe32(data);
  if (static_cast<int32_t>(num) >= static_cast<int32_t>(out.object_count)) return ObjectParse::NumberTooLarge;
  size_t at = 4;
  auto take_count = [&](uint32_t& count) {
    if (size - at < 4) return false;
    count = ReadLe32(data + at);
    at += 4;
    if (uint64_t(count) * 12 > size - at) return false;
    return true;
  };
  for (uint32_t i = 0; i < num; ++i) {
    uint32_t v, f;
    if (!take_count(v)) return ObjectParse::Truncated;
    at += size_t(v) * 12;
    if (!take_count(f)) return ObjectParse::Truncated;
    at += size_t(f) * 12;
  }
  if (!take_count(out.vertex_count)) return ObjectParse::Truncated;
  out.vertex_bytes = data + at;
  at += size_t(out.vertex_count) * 12;
  if (!take_count(out.face_count)) return ObjectParse::Truncated;
  out.face_bytes = data + at;
  for (uint64_t i = 0; i < uint64_t(out.face_count) * 3; ++i)
    if (ReadLe32(out.face_bytes + size_t(i) * 4) >= out.vertex_count) return ObjectParse::BadFaceIndex;
  return ObjectParse::Ok;
}

efx_3d::~efx_3d() {
  if (model || view || face) free();
}

bool efx_3d::load(const char* file_name, unsigned num) {
  log_efect.print("efx_3d (%lu) load('%s',%u)...\n", LogId(this), file_name, num);
  std::vector<uint8_t> bytes;
  std::string why;
  if (!ReadFileBytes(file_name, bytes, uint64_t(1) << 30, why)) {
    log_efect.status("ERROR", "in.open(%s,ios::in|ios::binary);", file_name);
    WarnUserOnce(file_name, why);
    return false;
  }
  log_efect.status("OK", "in.open(%s,ios::in|ios::binary);", file_name);
  return LoadBytes(file_name, num, bytes);
}

bool efx_3d::load(const char* file_name, unsigned num, const std::vector<uint8_t>& bytes) {
  log_efect.print("efx_3d (%lu) load('%s',%u)...\n", LogId(this), file_name, num);
  log_efect.status("OK", "in.open(%s,ios::in|ios::binary);", file_name);
  return LoadBytes(file_name, num, bytes);
}

bool efx_3d::LoadBytes(const char* file_name, unsigned num, const std::vector<uint8_t>& bytes) {
  ObjectRecord rec;
  ObjectParse result = ParseObject(bytes.data(), bytes.size(), num, rec);
  // Asking past the last object is how the captions find how many letters a file
  // holds, so that alone is not worth a word to the user.
  if (result == ObjectParse::NoCount) WarnUserOnce(file_name, "not an object file this program reads");
  if (result == ObjectParse::NumberTooLarge && num == 0) WarnUserOnce(file_name, "holds no objects");
  if (result == ObjectParse::Truncated) WarnUserOnce(file_name, "truncated file");
  if (result == ObjectParse::BadFaceIndex) WarnUserOnce(file_name, "corrupt object data");
  if (result == ObjectParse::NoCount) {
    log_efect.status("ERROR", "no object count in %s", file_name);
    return false;
  }
  log_efect.status(result == ObjectParse::NumberTooLarge ? "ERROR" : "OK", "num(%u)>=temp(%lu)", num,
                   static_cast<unsigned long>(rec.object_count));
  if (result == ObjectParse::NumberTooLarge) return false;
  if (result == ObjectParse::Truncated) {
    log_efect.status("ERROR", "object %u runs past the end of %s", num, file_name);
    return false;
  }
  if (result == ObjectParse::BadFaceIndex) {
    log_efect.status("ERROR", "object %u has a face index past its %lu vertices", num,
                     static_cast<unsigned long>(rec.vertex_count));
    return false;
  }
  log_efect.print("Loading...\n");
  if (model || view || face) free();
  vertex_count = rec.vertex_count;
  model = new (std::nothrow) vertices[vertex_count];
  view = new (std::nothrow) vertices[vertex_count];
  bool ok = model && view;
  log_efect.status(ok ? "OK" : "ERROR", "vertex = new vertices[%lu]", static_cast<unsigned long>(vertex_count));
  if (!ok) return false;
  for (DWORD i = 0; i < vertex_count; ++i) {
    const uint8_t* p = rec.vertex_bytes + size_t(i) * 12;
    model[i] = vertices{F32(p), F32(p + 4), F32(p + 8)};
  }
  face_count = rec.face_count;
  face = new (std::nothrow) faces[face_count];
  log_efect.status(face ? "OK" : "ERROR", "face = new faces[%lu]", static_cast<unsigned long>(face_count));
  if (!face) return false;
  for (DWORD i = 0; i < face_count; ++i) {
    const uint8_t* p = rec.face_bytes + size_t(i) * 12;
    face[i] = faces{ReadLe32(p), ReadLe32(p + 4), ReadLe32(p + 8)};
  }
  log_efect.status("OK", "efx_3d (%lu) load('%s',%u)...\n", LogId(this), file_name, num);
  return true;
}

void efx_3d::fold_rotation() {
  rotation.x = Fold(rotation.x);
  rotation.y = Fold(rotation.y);
  rotation.z = Fold(rotation.z);
}

void efx_3d::draw(bitmap& target) {
  if (target.lock() != 0) return;
  fold_rotation();
  if (model && view && face) {
    const int a = TableIndex(rotation.x), b = TableIndex(rotation.y), c = TableIndex(rotation.z);
    const double cA = COS[a], sA = SIN[a], cB = COS[b], sB = SIN[b], cC = COS[c], sC = SIN[c];
    const float sx = scale.x, sy = scale.y, sz = scale.z, D = projection.z;
    for (DWORD i = 0; i < vertex_count; ++i) {
      const float x = model[i].x, y = model[i].y, z = model[i].z;
      const float X1 = sx * x * cC + sy * y * sC;
      const float Y1 = -sx * x * sC + sy * y * cC;
      const float Z1 = sz * z;
      const float X2 = X1 * cB + Z1 * sB;
      const float Z2 = -X1 * sB + Z1 * cB;
      const float Y3 = Y1 * cA + Z2 * sA;
      const float Z3 = -Y1 * sA + Z2 * cA;
      const float X = X2 + translation.x, Y = Y3 + translation.y, Z = Z3 + translation.z;
      // A vertex in the viewer's plane has no projection; NaN keeps its edges undrawn.
      const float depth = Z + D;
      if (depth == 0.0f) {
        view[i] = vertices{NAN, NAN, Z};
        continue;
      }
      view[i] = vertices{X * D / depth + projection.x, Y * D / depth + projection.y, Z};
    }
    for (DWORD i = 0; i < face_count; ++i) {
      const vertices& p = view[face[i].second];
      const vertices& q = view[face[i].third];
      if (p.x != p.x || q.x != q.x) continue;
      target.line(ScreenCoordinate(p.x), ScreenCoordinate(p.y), ScreenCoordinate(q.x), ScreenCoordinate(q.y), 0xFFFFFF);
    }
  }
  target.unlock();
}

void efx_3d::free() {
  log_efect.print("efx_3d (%lu) free()...", LogId(this));
  delete[] model;
  delete[] view;
  delete[] face;
  model = view = nullptr;
  face = nullptr;
  log_efect.status("OK", "efx_3d (%lu) free()", LogId(this));
}
