// The names the Windows builds hand to the system's file functions (Windows builds only).
#pragma once

#include <cstddef>

#include "platform/file_system.h"
#include "platform/long_path.h"

namespace platform {

// Up to this length the system takes a name as it is and cleans it up itself: relative parts,
// "/", "." and "..", doubled delimiters, trailing dots and blanks. Longer names need the "\\?\"
// form, which the system takes literally, so they are made full and clean first. The limit is
// the one for folders (MAX_PATH less room for an 8.3 name), below the one for files.
inline constexpr size_t LongestPlainSystemPath = 247;

inline String ToSystemPath(StringView path) {
  if (path.size() <= LongestPlainSystemPath || path.starts_with(u"\\\\?\\")) return String(path);
  String full;
  if (!GetFullPath(path, full)) full = String(path);
  return WithLongPathPrefix(full);
}

}  // namespace platform
