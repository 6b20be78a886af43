// Last-error access and system messages through the Windows API.
#include <windows.h>

#include "platform/os_error.h"
#include "platform/windows_text.h"

namespace platform {

uint32_t GetLastOSError() {
  return ::GetLastError();
}

void SetLastOSError(uint32_t error_code) {
  ::SetLastError(error_code);
}

String SysErrorMessage(uint32_t error_code) {
  wchar_t* buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error_code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  String message;
  if (length != 0 && buffer != nullptr) {
    message = FromWide(buffer, length);
    ::LocalFree(buffer);
  }
  while (!message.empty() && message.back() <= u' ') message.pop_back();
  if (message.empty()) {
    message = u"System error " + Utf8ToString(std::to_string(error_code));
  }
  return message;
}

}  // namespace platform
