// WINMM's timeGetTime.
// Built on the POSIX monotonic clock (not on SDL, whose tick count starts at SDL_Init).
// Leaves out: timeBeginPeriod and the other multimedia timer calls; resolution is always 1 ms.
#include <ctime>

#include "platform/platform_api.h"

namespace {

struct SdlTimerState {
  bool failed;  // The monotonic clock could not be read (never expected)
};

SdlTimerState sdlTimer = {};

}  // namespace

extern "C" {

// Milliseconds since boot, wrapping at 2^32 (49.7 days) as on Windows; the product is taken in 64 bits.
DWORD WINAPI timeGetTime(void) {
  timespec now = {};
  if (clock_gettime(CLOCK_MONOTONIC, &now) != 0) {
    sdlTimer.failed = true;
    return 0;
  }
  return static_cast<DWORD>(static_cast<unsigned long long>(now.tv_sec) * 1000ull +
                            static_cast<unsigned long long>(now.tv_nsec) / 1000000ull);
}

}  // extern "C"
