// Starting this program again with administrator rights.
#pragma once

#include <cstdint>

#include "platform/text.h"

namespace platform {

inline constexpr uint32_t ErrorElevationDeclined = 1223;  // ERROR_CANCELLED

// Starts File with the verb "runas" (the system asks the user for administrator rights), with
// Parameters in Directory, and waits for it to end, handling the messages sent to this thread
// meanwhile (the elevated copy sends its spawn requests back this way). Returns false, with the
// platform's error, when it could not start: ErrorElevationDeclined when the user said no.
bool RunElevatedAndWait(StringView file, StringView parameters, StringView directory,
                        uint32_t& exit_code);

}  // namespace platform
