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

bool AttachToCallerConsole() {
  const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
  if (output != nullptr && output != INVALID_HANDLE_VALUE) {
    const DWORD type = ::GetFileType(output);
    if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE) return true;
    // Already the caller's console: a window program may be given its starter's console
    // handles (Wine does so for one started from its cmd), and attaching again would fail.
    DWORD mode = 0;
    if (::GetConsoleMode(output, &mode)) return true;
  }
  // Access denied: this process has a console already, only its output handle is missing.
  if (!::AttachConsole(ATTACH_PARENT_PROCESS) && ::GetLastError() != ERROR_ACCESS_DENIED) {
    return false;
  }
  // A window program's standard handles do not follow the console it attaches to: the console's
  // own output is opened by name. The handle lives as long as the process.
  const HANDLE console = ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE,
                                       nullptr, OPEN_EXISTING, 0, nullptr);
  if (console == INVALID_HANDLE_VALUE) return false;
  ::SetStdHandle(STD_OUTPUT_HANDLE, console);
  return true;
}

bool StandardErrorIsTerminal() {
  DWORD mode = 0;
  return ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != FALSE;
}

}  // namespace platform
