// Whether a package entry's name can be written below an output folder without leaving it.
#pragma once

#include "platform/text.h"

// Package names are relative paths with backslashes ("Langs\English.lng"). A name is refused,
// with the reason, when it is absolute or carries a drive, climbs with "..", names a device
// ("CON", "NUL", "COM1", ...), holds characters that Windows file names cannot, or has an empty
// part. The same rules apply on every system, so a package behaves alike wherever it is opened.
bool IsSafeEntryName(StringView name, String& reason);
