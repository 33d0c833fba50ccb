// The tick count and the sleep of the old system calls, on the host's clock.
#include "host/clock.h"
#include "host/time_source.h"
#include "winapi/win32.h"

DWORD GetTickCount() { return host::ReadTick(); }

void Sleep(DWORD milliseconds) {
  host::TimeSource& time = host::Time();
  time.SleepUntilNs(time.NowNs() + uint64_t(milliseconds) * 1'000'000);
}
