// The process environment and the current user's name.
#pragma once

#include "platform/text.h"

namespace platform {

// Replaces every %NAME% reference to an environment variable by its value (names ignore case);
// references to unknown variables stay as written (ExpandEnvironmentStringsW). False, with the
// platform's error, when the system cannot expand the text.
[[nodiscard]] bool ExpandEnvironmentText(StringView text, String& expanded);

// The name of the user this process runs as (GetUserNameW).
[[nodiscard]] bool GetCurrentUserName(String& name);

}  // namespace platform
