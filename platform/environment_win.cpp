// The environment and the user's name through the Windows API.
#include <windows.h>
#include <lmcons.h>

#include <vector>

#include "platform/environment.h"
#include "platform/windows_text.h"

namespace platform {

bool ExpandEnvironmentText(StringView text, String& expanded) {
  const String source(text);
  std::vector<wchar_t> buffer(source.size() + 1 > MAX_PATH ? source.size() + 1 : MAX_PATH);
  for (;;) {
    const DWORD length = ::ExpandEnvironmentStringsW(ToWide(source), buffer.data(),
                                                     static_cast<DWORD>(buffer.size()));
    if (length == 0) return false;
    // The result is the room needed, terminating zero included; larger than the buffer means
    // nothing usable was written and the call must be repeated with that room.
    if (length <= buffer.size()) {
      expanded = FromWide(buffer.data());
      return true;
    }
    buffer.resize(length);
  }
}

bool GetCurrentUserName(String& name) {
  wchar_t buffer[UNLEN + 1];
  DWORD length = UNLEN + 1;
  if (!::GetUserNameW(buffer, &length)) return false;
  // The length counts the terminating zero.
  name = FromWide(buffer, length > 0 ? length - 1 : 0);
  return true;
}

}  // namespace platform
