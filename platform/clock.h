// The wall clock in local time.
#pragma once

#include <cstdint>

namespace platform {

struct LocalTime {
  uint16_t Year;
  uint16_t Month;  // 1 to 12
  uint16_t Day;    // 1 to 31
  uint16_t Hour;   // 0 to 23
  uint16_t Minute;
  uint16_t Second;
  uint16_t Milliseconds;
};

// The current date and time in the user's time zone (GetLocalTime).
LocalTime GetCurrentLocalTime();

// Suspends the calling thread (Sleep). The host double can make this virtual time.
void Pause(uint32_t milliseconds);

// Milliseconds since an arbitrary start that never goes back (GetTickCount64); it advances with
// the host double's virtual pauses.
uint64_t MonotonicMilliseconds();

}  // namespace platform
