#pragma once
// Test seams of the stand-ins for the old calls: what a user does to a window, seen from a
// test without a screen, and a way to make the next copy fail.

#include <functional>

#include "winapi/win32.h"

namespace host {
struct Event;
}

namespace winapi::testing {

int WindowCount();
// Windows that still have a host window (and its presentation buffers).
int ShownWindowCount();
// Posts the messages a real minimise or restore of the window produces and, on
// minimise, loses every surface.
void SimulateMinimise(HWND window);
void SimulateRestore(HWND window);
// The next surface Blt returns `result` without copying.
void FailNextBlt(HRESULT result);
// The next DirectInputCreateA fails as if DirectInput were not installed.
void FailNextDirectInputCreate();
// Hands an input event to the keyboard and mouse devices as if the host delivered it.
void FeedInputEvent(const host::Event& event);
// Every sound buffer loses its memory, as when another program takes the device;
// with `restore_keeps_failing` their Restore keeps answering DSERR_BUFFERLOST.
void LoseSoundBuffers(bool restore_keeps_failing);
// The loop flag of the latest MIDASplayModule call; -1 before any.
int LastModuleLoopFlag();
// Told of every TextOutA: where the text starts and how wide it is drawn, in
// pixels. Empty to stop.
void ObserveTextOut(std::function<void(int x, int y, int width)> observer);

}  // namespace winapi::testing
