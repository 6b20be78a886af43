// Top-level windows and their processes through the Windows API.
#include <windows.h>

#include "platform/handle_traits_win.h"
#include "platform/top_level_windows.h"
#include "platform/windows_text.h"

namespace platform {

NativeWindow FindTopLevelWindow(StringView class_name) {
  return ::FindWindowW(ToWide(String(class_name)), nullptr);
}

bool GetWindowProcessId(NativeWindow window, uint32_t& process_id) {
  DWORD id = 0;
  if (::GetWindowThreadProcessId(static_cast<HWND>(window), &id) == 0) return false;
  process_id = id;
  return true;
}

bool GetProcessExecutablePath(uint32_t process_id, String& path) {
  const ScopedKernelHandle process(
      ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id));
  if (!process) return false;
  // Room for MAX_PATH characters, as the players we look for live in ordinary folders; a longer
  // path fails with ERROR_INSUFFICIENT_BUFFER rather than being cut.
  wchar_t buffer[MAX_PATH];
  DWORD length = MAX_PATH;
  if (!::QueryFullProcessImageNameW(process.Get(), 0, buffer, &length)) return false;
  path = FromWide(buffer, length);
  return true;
}

bool RequestWindowClose(NativeWindow window, uint32_t timeout_milliseconds) {
  DWORD_PTR result = 0;
  return ::SendMessageTimeoutW(static_cast<HWND>(window), WM_CLOSE, 0, 0,
                               SMTO_ABORTIFHUNG | SMTO_NORMAL, timeout_milliseconds, &result) != 0;
}

}  // namespace platform
