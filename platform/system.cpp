// Facts about the system that follow from the ones each platform reports.
#include "platform/system.h"

namespace platform {

bool IsWindowsVersionAtLeast(uint32_t major, uint32_t minor) {
  const WindowsVersion version = GetWindowsVersion();
  return version.Major != major ? version.Major > major : version.Minor >= minor;
}

}  // namespace platform
