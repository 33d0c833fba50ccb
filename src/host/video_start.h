#pragma once
// The display connection, started once for the first window.

namespace host {

// Starts SDL's video subsystem once; false (with the last error text set) when no
// display can be had.
bool EnsureVideo();
// After SDL is shut down: a start that failed may be tried again.
void ForgetVideoStart();

}  // namespace host
