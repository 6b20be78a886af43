// The clocks of the host double: Linux's local time, or the moment a test fixed; real pauses, or
// virtual ones that only move the monotonic clock on, so tests of waiting code run at once.
#include <time.h>

#include <chrono>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/host_double.h"

namespace platform {

namespace {
std::mutex clock_mutex;
std::optional<LocalTime> fixed_time;
// Virtual time stands still but for pauses, so that what a test sees does not depend on how
// fast it runs; the real clock, after it, carries on from there and never goes back.
bool virtual_time = false;
uint64_t virtual_now = 0;
uint64_t real_offset = 0;
std::vector<uint32_t> pauses;

uint64_t LinuxMonotonicMilliseconds() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000 + static_cast<uint64_t>(now.tv_nsec) / 1000000;
}
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

void Pause(uint32_t milliseconds) {
  {
    std::lock_guard lock(clock_mutex);
    pauses.push_back(milliseconds);
    if (virtual_time) {
      virtual_now += milliseconds;
      return;
    }
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

uint64_t MonotonicMilliseconds() {
  std::lock_guard lock(clock_mutex);
  return virtual_time ? virtual_now : LinuxMonotonicMilliseconds() + real_offset;
}

void HostDouble::UseVirtualTime(bool use) {
  std::lock_guard lock(clock_mutex);
  if (use == virtual_time) return;
  const uint64_t real_now = LinuxMonotonicMilliseconds();
  if (use) {
    virtual_now = real_now + real_offset;
  } else if (virtual_now > real_now + real_offset) {
    real_offset = virtual_now - real_now;
  }
  virtual_time = use;
}

std::vector<uint32_t> HostDouble::TakePauses() {
  std::lock_guard lock(clock_mutex);
  return std::exchange(pauses, {});
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
