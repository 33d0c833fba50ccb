#pragma once
// The display connection, started once for the first window.

#include <string>

namespace host {

// Starts SDL's video subsystem once; false (with the last error text set) when no
// display can be had.
bool EnsureVideo();
// The desktop's protocol the display went through ("x11", "wayland"), kept
// after it is shut down; empty before it started.
const std::string& VideoDriverName();
// After SDL is shut down: a start that failed may be tried again.
void ForgetVideoStart();
// A run that needs no screen and no sound device (a recording): the display
// and the sound open on drivers that show and play nothing, unless the user
// chose drivers.
void RunWithoutDevices();

}  // namespace host
