// WINMM's timeGetTime.
// Built on the POSIX monotonic clock (not on SDL, whose tick count starts at SDL_Init).
// Leaves out: timeBeginPeriod and the other multimedia timer calls; resolution is always 1 ms.
#include <ctime>

#include "platform/platform_api.h"

extern "C" {

// Milliseconds since boot, wrapping at 2^32 (49.7 days) as on Windows; the product is taken in 64 bits.
DWORD WINAPI timeGetTime(void) {
  // CLOCK_MONOTONIC exists on every Linux; were it refused, now stays 0.
  timespec now = {};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<DWORD>(static_cast<unsigned long long>(now.tv_sec) * 1000ull +
                            static_cast<unsigned long long>(now.tv_nsec) / 1000000ull);
}

}  // extern "C"
