// The long-path form of file names.
#pragma once

#include "platform/text.h"

namespace platform {

// File names of 260 characters or more take the "\\?\" form (or "\\?\UNC\" for a network
// share), the only form in which Windows accepts them; shorter names and names already in that
// form are returned as they are.
String ToLongPathForm(StringView path);

}  // namespace platform
