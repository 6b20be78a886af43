// The wall clock of the host double: Linux's local time, or the moment a test fixed.
#include <time.h>

#include <mutex>
#include <optional>

#include "platform/clock.h"
#include "platform/host_double.h"

namespace platform {

namespace {
std::mutex clock_mutex;
std::optional<LocalTime> fixed_time;
}  // namespace

LocalTime GetCurrentLocalTime() {
  {
    std::lock_guard lock(clock_mutex);
    if (fixed_time) return *fixed_time;
  }
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  ::localtime_r(&now.tv_sec, &local);
  return {static_cast<uint16_t>(local.tm_year + 1900), static_cast<uint16_t>(local.tm_mon + 1),
          static_cast<uint16_t>(local.tm_mday),        static_cast<uint16_t>(local.tm_hour),
          static_cast<uint16_t>(local.tm_min),         static_cast<uint16_t>(local.tm_sec),
          static_cast<uint16_t>(now.tv_nsec / 1000000)};
}

void HostDouble::FixLocalTime(const LocalTime& time) {
  std::lock_guard lock(clock_mutex);
  fixed_time = time;
}

void HostDouble::ReleaseLocalTime() {
  std::lock_guard lock(clock_mutex);
  fixed_time.reset();
}

}  // namespace platform
