// File attributes through GetFileAttributesW and SetFileAttributesW.
#include <windows.h>

#include "platform/file_attributes.h"
#include "platform/system_path_win.h"
#include "platform/windows_text.h"

namespace platform {

uint32_t GetFileAttributeFlags(StringView path) {
  return ::GetFileAttributesW(ToWide(ToSystemPath(path)));
}

bool SetFileAttributeFlags(StringView path, uint32_t attributes) {
  return ::SetFileAttributesW(ToWide(ToSystemPath(path)), attributes) != FALSE;
}

}  // namespace platform
