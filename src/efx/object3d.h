#pragma once
// 3D wireframe objects read from the binary object file format (little-endian):
// object count N, then N records of vertex count V, V x (x, y, z) floats, face
// count F, F x three 32-bit vertex indices.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx/2d.h"

struct vertices {
  float x = 0, y = 0, z = 0;
};

struct faces {
  uint32_t first, second, third;
};

// Object number `num` of a file's bytes. False (with `error` naming the fault)
// when the file does not hold that object whole with valid face indices.
struct ObjectRecord {
  uint32_t object_count = 0;
  uint32_t vertex_count = 0;
  uint32_t face_count = 0;
  const uint8_t* vertex_bytes = nullptr;
  const uint8_t* face_bytes = nullptr;
};
enum class ObjectParse { Ok, NoCount, NumberTooLarge, Truncated, BadFaceIndex };
ObjectParse ParseObject(const uint8_t* data, size_t size, uint32_t num, ObjectRecord& out);

class efx_3d {
 public:
  ~efx_3d();
  bool load(const char* file_name, unsigned num);
  // The same from the file's bytes already read (many objects of one file).
  bool load(const char* file_name, unsigned num, const std::vector<uint8_t>& bytes);
  void draw(bitmap& target);
  // The angles brought back into range as a draw brings them (once, by 360):
  // a frame left undrawn still folds them, or the later angles drift.
  void fold_rotation();
  void free();

  DWORD vertex_count = 0;
  DWORD face_count = 0;
  vertices* model = nullptr;
  vertices* view = nullptr;
  faces* face = nullptr;
  vertices rotation;  // degrees: x = A, y = B, z = C
  vertices translation;
  vertices projection;  // centre x, centre y, viewer distance D
  vertices scale{1, 1, 1};

 private:
  bool LoadBytes(const char* file_name, unsigned num, const std::vector<uint8_t>& bytes);
};
