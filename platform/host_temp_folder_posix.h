// The host double's switch that makes the temporary folder fail (host builds only).
#pragma once

namespace platform {

// Whether a test made GetTempFolder and the temporary-file names fail (HostDouble::FailTempFolder).
bool HostTempFolderFails();

}  // namespace platform
