// Temporary file names through GetTempFileNameW.
#include <windows.h>

#include "platform/temporary_file.h"
#include "platform/windows_text.h"

namespace platform {

bool CreateTemporaryFile(StringView folder, StringView prefix, String& path) {
  wchar_t buffer[MAX_PATH];
  // With 0 the system picks the number and creates the file, trying further numbers while
  // names are taken, so the name stays ours.
  if (::GetTempFileNameW(ToWide(String(folder)), ToWide(String(prefix)), 0, buffer) == 0) {
    return false;
  }
  path = FromWide(buffer);
  return true;
}

}  // namespace platform
