#include "efx/animation3d.h"

#include <cmath>
#include <new>
#include <vector>

#include "base/little_endian.h"
#include "base/logfile.h"
#include "image/file_bytes.h"

efx_3d_animation::~efx_3d_animation() {
  delete[] objects;
  delete[] work;
}

bool efx_3d_animation::load(const char* file_name) {
  log_efect.print("efx_3d_animation (%lu) load('%s')...\n", LogId(this), file_name);
  std::vector<uint8_t> bytes;
  bool open = ReadFileBytes(file_name, bytes);
  log_efect.status(open ? "OK" : "ERROR", "in.open(%s,ios::in|ios::binary);", file_name);
  if (!open) return false;
  ObjectRecord first, last;
  // Every key frame must be in the file before anything is allocated: an object
  // takes at least its two 4-byte counts, and the last one must parse.
  const uint32_t n = bytes.size() >= 4 ? ReadLe32(bytes.data()) : 0;
  if (ParseObject(bytes.data(), bytes.size(), 0, first) != ObjectParse::Ok || int32_t(n) < 1 ||
      n > (bytes.size() - 4) / 8 || ParseObject(bytes.data(), bytes.size(), n - 1, last) != ObjectParse::Ok) {
    log_efect.status("ERROR", "no key frames in %s", file_name);
    return false;
  }
  // The new key frames replace the old only once all of them loaded, so a failed
  // reload leaves the animation as it was.
  efx_3d* new_objects = new (std::nothrow) efx_3d[n];
  efx_3d* new_work = new (std::nothrow) efx_3d[n];
  const bool made = new_objects && new_work;
  log_efect.status(made ? "OK" : "ERROR", "objects = new efx_3d[%lu]", static_cast<unsigned long>(n));
  bool loaded = made && new_work[0].load(file_name, 0);
  for (uint32_t i = 0; loaded && i < n; ++i) loaded = new_objects[i].load(file_name, i);
  if (!loaded) {
    delete[] new_objects;
    delete[] new_work;
    return false;
  }
  delete[] objects;
  delete[] work;
  objects = new_objects;
  work = new_work;
  interval_count = int(n) - 1;
  current = &objects[0];
  next = &objects[n > 1 ? 1 : 0];
  log_efect.status("OK", "efx_3d_animation (%lu) load('%s')...\n", LogId(this), file_name);
  return true;
}

void efx_3d_animation::set_time(float t) {
  if (!objects) return;
  const float total = float(interval_count) * 100;
  if (total <= 0) {
    current = next = &objects[0];
    weight = 0;
    time_ = t;
    return;
  }
  // Wrap into [0, total) so that key frames k and k + 1 both exist.
  t = std::fmod(t, total);
  if (t < 0) t += total;
  if (!(t < total)) t = 0;
  int k = static_cast<int>(t / 100.0);
  if (k > interval_count - 1) k = interval_count - 1;
  current = &objects[k];
  next = &objects[k + 1];
  weight = static_cast<int>(t) - 100 * k;  // 0 at the start of the interval, up to 100 at its end
  time_ = t;
}

void efx_3d_animation::draw(bitmap& target) {
  if (!work || !current || !next || !work[0].model) return;
  efx_3d& shape = work[0];
  DWORD n = shape.vertex_count;
  if (current->vertex_count < n) n = current->vertex_count;
  if (next->vertex_count < n) n = next->vertex_count;
  for (DWORD i = 0; i < n; ++i) {
    const vertices& a = current->model[i];
    const vertices& b = next->model[i];
    shape.model[i].x = a.x + (b.x - a.x) * weight / 100;
    shape.model[i].y = a.y + (b.y - a.y) * weight / 100;
    shape.model[i].z = a.z + (b.z - a.z) * weight / 100;
  }
  shape.draw(target);
}
