#pragma once
// Inside the stand-ins: where a surface's pixels live, the host's screen memory
// (which a window showing them one for one may borrow).

#include "host/screen_memory.h"

namespace winapi {

struct SurfacePixels : host::ScreenMemory {};

}  // namespace winapi
