// Comparing names of files, sections, keys, switches and packages.
#pragma once

#include "platform/text.h"

// Names are equal when they have the same length and the user's locale sees them as equal,
// ignoring letter case. Texts of different lengths are never equal, whatever their folding.
bool SameName(StringView a, StringView b);

// Whether Part, one name between delimiters, is a device's name to Windows, whatever its
// extension and letter case: CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0 to COM9 and LPT0 to LPT9
// (with the superscript digits one to three too). Writing to "NUL.txt" writes to no file.
bool IsDeviceName(StringView part);
