// The wall clock from the Windows API.
#include <windows.h>

#include "platform/clock.h"

namespace platform {

LocalTime GetCurrentLocalTime() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

void Pause(uint32_t milliseconds) {
  ::Sleep(milliseconds);
}

uint64_t MonotonicMilliseconds() {
  return ::GetTickCount64();
}

}  // namespace platform
