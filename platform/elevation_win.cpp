// Elevation through ShellExecuteExW with the verb "runas".
#include <windows.h>
#include <shellapi.h>

#include "platform/change_observer.h"
#include "platform/elevation.h"
#include "platform/handle_traits_win.h"
#include "platform/serving_wait_win.h"
#include "platform/windows_text.h"

namespace platform {

bool RunElevatedAndWait(StringView file, StringView parameters, StringView directory,
                        uint32_t& exit_code) {
  const String file_text(file), parameters_text(parameters), directory_text(directory);
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;  // 112 on 64-bit Windows
  // Keep the process handle to wait for it; run synchronously (no asynchronous DDE left behind
  // when this process ends); no error boxes of the shell's own; no zone checks on a setup that
  // was downloaded.
  info.fMask =
      SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOZONECHECKS;
  info.lpVerb = L"runas";
  info.lpFile = ToWide(file_text);
  info.lpParameters = ToWide(parameters_text);
  info.lpDirectory = directory_text.empty() ? nullptr : ToWide(directory_text);
  info.nShow = SW_SHOWNORMAL;
  if (!::ShellExecuteExW(&info)) return false;
  ReportChange(Change::ProcessStarted, file, parameters);
  exit_code = 0;
  if (info.hProcess == nullptr) return true;
  ScopedKernelHandle process(info.hProcess);
  WaitForObjectServingSentMessages(process.Get());
  DWORD code = 0;
  // An exit code that cannot be read must not pass for success.
  if (!::GetExitCodeProcess(process.Get(), &code)) return false;
  exit_code = code;
  return true;
}

}  // namespace platform
