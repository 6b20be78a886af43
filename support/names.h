// Comparing names of files, sections, keys, switches and packages.
#pragma once

#include "platform/text.h"

// Names are equal when they have the same length and the user's locale sees them as equal,
// ignoring letter case. Texts of different lengths are never equal, whatever their folding.
bool SameName(StringView a, StringView b);
