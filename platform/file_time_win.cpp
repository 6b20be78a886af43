// File times through GetFileAttributesExW, which needs no open handle and so works on files that
// others hold open without sharing.
#include <windows.h>

#include "platform/file_time.h"
#include "platform/system_path_win.h"
#include "platform/windows_text.h"

namespace platform {

bool GetFileLastWriteTime(StringView path, LocalTime& time) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(ToWide(ToSystemPath(path)), GetFileExInfoStandard, &data)) {
    return false;
  }
  // FileTimeToLocalFileTime would apply today's daylight-saving offset to a date in the other
  // season; SystemTimeToTzSpecificLocalTime applies the rule in force on that date.
  SYSTEMTIME universal;
  SYSTEMTIME local;
  if (!::FileTimeToSystemTime(&data.ftLastWriteTime, &universal) ||
      !::SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) {
    return false;
  }
  time = {local.wYear,   local.wMonth,  local.wDay,         local.wHour,
          local.wMinute, local.wSecond, local.wMilliseconds};
  return true;
}

}  // namespace platform
