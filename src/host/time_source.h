#pragma once
// The machine's monotonic time in nanoseconds and a sleep to a moment of it.
// Pacing reads and waits on it; a test puts a simulated one in its place.

#include <cstdint>

namespace host {

class TimeSource {
 public:
  virtual ~TimeSource() = default;
  virtual uint64_t NowNs() = 0;
  // Returns at `ns` or soon after (never before).
  virtual void SleepUntilNs(uint64_t ns) = 0;
};

// The source in use: the machine's unless a test set its own.
TimeSource& Time();
// Null puts the machine's back.
void UseTimeSource(TimeSource* source);

}  // namespace host
