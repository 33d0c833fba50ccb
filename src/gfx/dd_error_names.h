#pragma once
// The status words logged for DirectDraw failures.

#include "winapi/ddraw.h"

// "ERROR! OUTOFMEMORY" and the like for a failed surface creation; null for a code
// that has no message.
const char* CreateSurfaceErrorWord(HRESULT code);
// "ERROR! DDERR_GENERIC" and the like for a failed copy; null for a code that has
// no message.
const char* BlitErrorWord(HRESULT code);
