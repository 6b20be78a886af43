// Failures the host double's tests inject into file operations (host builds only).
#pragma once

#include "platform/host_double.h"

namespace platform {

// Counts one call of a kind of file operation; true, with the injected error as the last error,
// when this is the call a test chose to fail. The caller then returns before changing anything.
bool HostFileOperationFails(HostDouble::FileOperation operation);

}  // namespace platform
