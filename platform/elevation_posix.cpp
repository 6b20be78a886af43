// Elevation in the host double: a test plays the elevated copy.
#include <mutex>
#include <utility>

#include "platform/elevation.h"
#include "platform/host_double.h"
#include "platform/os_error.h"

namespace platform {

namespace {
std::mutex elevation_mutex;
std::function<HostDouble::ElevationResult(const HostDouble::Elevation&)> elevation_handler;
std::vector<HostDouble::Elevation> elevations;
}  // namespace

bool RunElevatedAndWait(StringView file, StringView parameters, StringView directory,
                        uint32_t& exit_code) {
  const HostDouble::Elevation request{String(file), String(parameters), String(directory)};
  std::function<HostDouble::ElevationResult(const HostDouble::Elevation&)> handler;
  {
    std::lock_guard lock(elevation_mutex);
    elevations.push_back(request);
    handler = elevation_handler;
  }
  // Without a test's copy, the user declines.
  const HostDouble::ElevationResult result =
      handler ? handler(request) : HostDouble::ElevationResult{false, ErrorElevationDeclined, 0};
  if (!result.Started) {
    SetLastOSError(result.Error);
    return false;
  }
  exit_code = result.ExitCode;
  return true;
}

void HostDouble::SetElevationHandler(std::function<ElevationResult(const Elevation&)> handler) {
  std::lock_guard lock(elevation_mutex);
  elevation_handler = std::move(handler);
}

std::vector<HostDouble::Elevation> HostDouble::TakeElevations() {
  std::lock_guard lock(elevation_mutex);
  return std::exchange(elevations, {});
}

}  // namespace platform
