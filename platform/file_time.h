// When a file was last written, in local time, as archives and listings show it.
#pragma once

#include "platform/clock.h"
#include "platform/text.h"

namespace platform {

// The last-write time of a file in the user's time zone (with the daylight-saving rule of that
// moment, not of today). Returns false and sets the last platform error when the file cannot be
// examined.
[[nodiscard]] bool GetFileLastWriteTime(StringView path, LocalTime& time);

}  // namespace platform
