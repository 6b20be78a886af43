// The file attributes of the host double, for the other host services (host builds only).
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The Windows attributes of a file at a Linux path, or InvalidFileAttributes with errno set.
// Read-only is the absence of every write permission bit; hidden is a mark the double keeps in
// memory, because Linux has no such attribute.
uint32_t HostFileAttributes(const std::string& host_path);

}  // namespace platform
