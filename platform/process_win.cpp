// Facts about the running process, from the Windows API.
#include <windows.h>

#include <string>

#include "platform/process.h"
#include "platform/windows_text.h"

namespace platform {

String GetProcessCommandLine() {
  return FromWide(::GetCommandLineW());
}

String GetProgramFileName() {
  // The path may be longer than MAX_PATH; a result that fills the buffer may be cut short.
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return String();
    if (length < buffer.size()) return FromWide(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace platform
