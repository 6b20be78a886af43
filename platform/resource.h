// Raw data resources (RCDATA) of a program module.
#pragma once

#include <cstddef>

#include "platform/text.h"

namespace platform {

// A loaded module (HMODULE on Windows); null is the program's own executable.
using NativeModule = void*;

// The bytes of the RCDATA resource Name in Module. They stay valid as long as the module is
// loaded (for the program's own module: for the life of the process). Returns false, with the
// platform's error, when there is no such resource.
bool FindDataResource(NativeModule module, StringView name, const void*& data, size_t& size);

// Whether the program or library at Path carries an icon (an icon group resource), which the
// shell then shows for it. False for a file that is not a program, or cannot be read; always
// false in the host double, whose programs carry no resources.
bool ProgramHasIcon(StringView path);

}  // namespace platform
