// Console output through WriteConsoleW, or UTF-8 when redirected.
#include <windows.h>

#include "platform/console.h"

namespace platform {

namespace {

void Write(DWORD which, StringView text) {
  const HANDLE handle = ::GetStdHandle(which);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
  DWORD mode = 0;
  DWORD written = 0;
  if (::GetConsoleMode(handle, &mode)) {
    ::WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  const std::string bytes = StringToUtf8(text);
  ::WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace

void WriteStandardOutput(StringView text) {
  Write(STD_OUTPUT_HANDLE, text);
}

void WriteStandardError(StringView text) {
  Write(STD_ERROR_HANDLE, text);
}

bool StandardErrorIsTerminal() {
  DWORD mode = 0;
  return ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != FALSE;
}

}  // namespace platform
