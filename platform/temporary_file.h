// Unique names for temporary files.
#pragma once

#include "platform/text.h"

namespace platform {

// Makes a new, unique, empty file in Folder whose name starts with the first three characters
// of Prefix (GetTempFileNameW with 0) and returns its full path. False, with the platform's
// error, when no such file could be made.
[[nodiscard]] bool CreateTemporaryFile(StringView folder, StringView prefix, String& path);

}  // namespace platform
