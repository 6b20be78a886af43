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

}  // namespace platform
