// How the host double places Windows paths in the Linux file system (host builds only).
#pragma once

#include <string>

#include "platform/text.h"

namespace platform {

// "X:\dir\file" becomes "<root of X>/dir/file", where a test chose the root of drive X with
// HostDouble::SetDriveRoot; the long-path prefix "\\?\" is dropped first. Any other path is a
// native one (the maker's tool on Linux takes Linux paths) with backslashes read as slashes.
// Returns false, with ErrorPathNotFound as the last error, for a drive without a root.
bool ToHostPath(StringView path, std::string& host_path);

}  // namespace platform
