#include "host/time_source.h"

#include <chrono>
#include <thread>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

namespace host {
namespace {

class MachineTime final : public TimeSource {
 public:
  uint64_t NowNs() override {
    return uint64_t(
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
  }
  void SleepUntilNs(uint64_t ns) override {
    // The system's sleep may overshoot by a few tenths of a millisecond: it
    // sleeps to just short of the moment, and the rest is waited out awake.
    constexpr uint64_t kAwake = 400'000;
    const uint64_t now = NowNs();
#ifdef __EMSCRIPTEN__
    // A page's program sleeps by giving the browser its turn; it cannot spin.
    if (ns > now) emscripten_sleep(unsigned((ns - now + 999'999) / 1'000'000));
#else
    if (ns > now + kAwake) std::this_thread::sleep_for(std::chrono::nanoseconds(ns - now - kAwake));
    while (NowNs() < ns) {
    }
#endif
  }
};

MachineTime g_machine;
TimeSource* g_source = &g_machine;

}  // namespace

TimeSource& Time() { return *g_source; }
void UseTimeSource(TimeSource* source) { g_source = source ? source : &g_machine; }

}  // namespace host
