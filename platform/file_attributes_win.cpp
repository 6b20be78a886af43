// File attributes through GetFileAttributesW and SetFileAttributesW.
#include <windows.h>

#include "platform/file_attributes.h"
#include "platform/long_path.h"
#include "platform/windows_text.h"

namespace platform {

uint32_t GetFileAttributeFlags(StringView path) {
  return ::GetFileAttributesW(ToWide(ToLongPathForm(path)));
}

bool SetFileAttributeFlags(StringView path, uint32_t attributes) {
  return ::SetFileAttributesW(ToWide(ToLongPathForm(path)), attributes) != FALSE;
}

}  // namespace platform
