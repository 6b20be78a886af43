// Starting things through ShellExecuteW.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include "platform/change_observer.h"
#include "platform/shell_execute.h"
#include "platform/windows_text.h"

namespace platform {

bool ShellOpen(StringView file, StringView parameters, StringView directory, int show_command) {
  const String file_text(file), parameters_text(parameters), directory_text(directory);
  const auto result = reinterpret_cast<INT_PTR>(
      ::ShellExecuteW(nullptr, L"open", ToWide(file_text),
                      parameters_text.empty() ? nullptr : ToWide(parameters_text),
                      directory_text.empty() ? nullptr : ToWide(directory_text), show_command));
  // Values up to 32 are errors; the shell has set the last error.
  return Reported(result > 32, Change::ProcessStarted, file, parameters);
}

ShellApartment::ShellApartment()
    : initialized_(
          SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
}

ShellApartment::~ShellApartment() {
  if (initialized_) ::CoUninitialize();
}

}  // namespace platform
