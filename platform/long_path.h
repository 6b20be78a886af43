// The long-path form of file names.
#pragma once

#include "platform/text.h"

namespace platform {

// File names of 260 characters or more take the "\\?\" form (or "\\?\UNC\" for a network
// share), the only form in which Windows accepts them; shorter names and names already in that
// form are returned as they are.
String ToLongPathForm(StringView path);

// A full, clean path in the "\\?\" form whatever its length ("\\?\UNC\" for a network
// share); a path already in that form is returned as it is.
String WithLongPathPrefix(StringView full_path);

}  // namespace platform
