#pragma once
// What the window stand-in offers the program beyond the old calls: the last
// call of a run.

#include "winapi/win32.h"

namespace winapi {

// Destroys every window and shuts the host's display down; the process's last
// platform call.
void Shutdown();

}  // namespace winapi
