#include "efx/wave.h"

#include <new>

#include "base/logfile.h"
#include "efx/trig_tables.h"

efx_wave::~efx_wave() { free(); }

bool efx_wave::load(const char* file_name) {
  log_efect.print("efx_wave %lu load('%s')\n", LogId(this), file_name);
  delete buffer;
  buffer = new (std::nothrow) bitmap();
  log_efect.status(buffer ? "OK" : "ERROR", "buffer = new bitmap");
  if (!buffer) return false;
  if (!buffer->load(file_name)) {
    log_efect.status("ERROR", "buffer %lu load('%s')", LogId(buffer), file_name);
    return false;
  }
  log_efect.status("OK", "buffer %lu load('%s')", LogId(buffer), file_name);
  log_efect.status("OK", "efx_wave %lu load('%s')", LogId(this), file_name);
  return true;
}

void efx_wave::run(bitmap& destination) {
  if (!buffer || divisor == 0) return;
  if (destination.lock() != 0) {
    destination.unlock();
    log_efect.status("ERROR", "efx_wave %lu run(%lu): bitmap %lu lock()", LogId(this), LogId(&destination),
                     LogId(&destination));
    return;
  }
  if (buffer->lock() != 0) {
    destination.unlock();
    buffer->unlock();
    log_efect.status("ERROR", "efx_wave %lu run(%lu): bitmap %lu lock()", LogId(this), LogId(&destination),
                     LogId(buffer));
    return;
  }
  const int W = buffer->width, H = buffer->height;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const int dx = centre_x - x, dy = centre_y - y;
      // 64-bit squares give the 32-bit result wherever that does not overflow.
      int64_t d = (int64_t(dx) * dx + int64_t(dy) * dy) / divisor;
      int k = static_cast<int>(d % 360);
      if (k < 0) k += 360;
      const int sx = static_cast<int>(x + COS[k] * 10.0), sy = static_cast<int>(y + SIN[k] * 10.0);
      DWORD pixel = 0;
      buffer->get_pixel(sx, sy, &pixel);
      destination.put_pixel(x, y, pixel);
    }
  destination.unlock();
  buffer->unlock();
}

void efx_wave::free() {
  log_efect.print("efx_wave %lu free()\n", LogId(this));
  if (buffer) {
    buffer->free();
    delete buffer;
    buffer = nullptr;
  }
  log_efect.status("OK", "efx_wave %lu free()", LogId(this));
}
