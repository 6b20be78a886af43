// Facts about the running process, from the Windows API.
#include <windows.h>

#include <string>

#include "platform/change_observer.h"
#include "platform/handle_traits_win.h"
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

bool RunProgramAndWait(StringView command_line) {
  // CreateProcessW may write into the command line, so it gets a copy of its own.
  std::wstring line(command_line.begin(), command_line.end());
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION information{};
  if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &information)) {
    return false;
  }
  ReportChange(Change::ProcessStarted, command_line);
  const ScopedKernelHandle process(information.hProcess);
  const ScopedKernelHandle thread(information.hThread);
  // A program with a window is waited for once it is ready for input; one without a message
  // loop makes WaitForInputIdle fail at once. A program still not ready after the timeout is
  // left running: it may be showing something that waits for the user.
  const DWORD idle = ::WaitForInputIdle(process.Get(), 5000);
  if (idle == 0 || idle == WAIT_FAILED) ::WaitForSingleObject(process.Get(), INFINITE);
  return true;
}

}  // namespace platform
