// Locale-aware text comparison in the user's default locale.
#pragma once

#include "platform/text.h"

namespace platform {

// Compares two texts ignoring letter case, as the user's locale orders them: negative when A
// sorts first, zero when they are equal, positive otherwise.
int CompareTextIgnoringCase(StringView a, StringView b);

}  // namespace platform
