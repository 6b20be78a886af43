// Shell links (".lnk" shortcuts): writing one that starts a file, and reading where one points.
#pragma once

#include "platform/text.h"

namespace platform {

// Saves a shell link at Link_path whose target is Target (no arguments, working folder, icon or
// description), replacing a file there (IShellLinkW and IPersistFile). The calling thread must
// be in a COM apartment (ShellApartment).
[[nodiscard]] bool WriteShellLink(StringView link_path, StringView target);

// The target path stored in the shell link at Link_path, as stored (no resolution).
[[nodiscard]] bool ReadShellLinkTarget(StringView link_path, String& target);

}  // namespace platform
