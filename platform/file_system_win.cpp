// Files and folders by name through the Windows API.
#include <windows.h>

#include <vector>

#include "platform/change_observer.h"
#include "platform/file_system.h"
#include "platform/handle_traits_win.h"
#include "platform/os_error.h"
#include "platform/system_path_win.h"
#include "platform/windows_text.h"

namespace platform {

namespace {

DWORD Attributes(StringView path) {
  return ::GetFileAttributesW(ToWide(ToSystemPath(path)));
}

String WithoutTrailingDelimiters(StringView path) {
  String result(path);
  while (result.size() > 1 && (result.back() == u'\\' || result.back() == u'/')) result.pop_back();
  return result;
}

// Calls an API that fills a buffer and returns the characters written, or the room needed
// (terminating zero included) when the buffer is too small, or 0 on failure.
template <class Call>
bool FillBuffer(Call call, String& result) {
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  for (;;) {
    const DWORD length = call(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return false;
    if (length < buffer.size()) {
      result = FromWide(buffer.data(), length);
      return true;
    }
    buffer.resize(length + 1);
  }
}

// Undoes the "\\?\" that ToSystemPath put in front of a path the system hands back.
String AsGiven(StringView original, String result) {
  if (!original.starts_with(u"\\\\?\\")) {
    if (result.starts_with(u"\\\\?\\UNC\\")) return u"\\" + result.substr(7);
    if (result.starts_with(u"\\\\?\\")) return result.substr(4);
  }
  return result;
}

}  // namespace

bool FileExists(StringView path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(StringView path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateFolder(StringView path) {
  return Reported(::CreateDirectoryW(ToWide(ToSystemPath(path)), nullptr) != FALSE,
                  Change::FolderCreated, path);
}

bool RemoveFile(StringView path) {
  return Reported(::DeleteFileW(ToWide(ToSystemPath(path))) != FALSE, Change::FileDeleted, path);
}

bool RemoveEmptyFolder(StringView path) {
  return Reported(::RemoveDirectoryW(ToWide(ToSystemPath(path))) != FALSE, Change::FolderRemoved,
                  path);
}

bool MovePath(StringView source, StringView target) {
  // Without MOVEFILE_REPLACE_EXISTING an existing target fails the move; COPY_ALLOWED lets a
  // file move to another drive, as MoveFileW does.
  return Reported(::MoveFileExW(ToWide(ToSystemPath(source)), ToWide(ToSystemPath(target)),
                                MOVEFILE_COPY_ALLOWED) != FALSE,
                  Change::FileMoved, target, source);
}

bool MoveFileReplacing(StringView source, StringView target) {
  return Reported(::MoveFileExW(ToWide(ToSystemPath(source)), ToWide(ToSystemPath(target)),
                                MOVEFILE_COPY_ALLOWED | MOVEFILE_REPLACE_EXISTING) != FALSE,
                  Change::FileMoved, target, source);
}

bool CopyFileTo(StringView source, StringView target, bool fail_if_exists) {
  const String system_target = ToSystemPath(target);
  if (!::CopyFileW(ToWide(ToSystemPath(source)), ToWide(system_target),
                   fail_if_exists ? TRUE : FALSE)) {
    return false;
  }
  // The system copies the attributes too: a copy of a read-only setup (one started from a disc)
  // could then be neither replaced nor removed by the next run.
  const DWORD attributes = ::GetFileAttributesW(ToWide(system_target));
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    ::SetFileAttributesW(ToWide(system_target), attributes & ~FILE_ATTRIBUTE_READONLY);
  }
  ReportChange(Change::FileCopied, target, source);
  return true;
}

bool ScheduleDeleteAtRestart(StringView path) {
  // No new name: the system deletes the file instead of renaming it. The request is written to
  // the registry (PendingFileRenameOperations), which takes administrator rights.
  return Reported(
      ::MoveFileExW(ToWide(ToSystemPath(path)), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE,
      Change::DeleteAtRestart, path);
}

bool ScheduleReplaceAtRestart(StringView source, StringView target) {
  // The system takes the request without the replacement being there and drops it silently at
  // the restart: the old file would stay while the caller counted it as replaced.
  if (!FileExists(source)) {
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
  }
  return Reported(::MoveFileExW(ToWide(ToSystemPath(source)), ToWide(ToSystemPath(target)),
                                MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING) != FALSE,
                  Change::ReplaceAtRestart, target, source);
}

bool GetFullPath(StringView path, String& full_path) {
  const String source(path);
  return FillBuffer(
      [&](wchar_t* buffer, DWORD size) {
        return ::GetFullPathNameW(ToWide(source), size, buffer, nullptr);
      },
      full_path);
}

bool GetLongPath(StringView path, String& long_path) {
  const String source = ToSystemPath(path);
  String result;
  if (!FillBuffer([&](wchar_t* buffer,
                      DWORD size) { return ::GetLongPathNameW(ToWide(source), buffer, size); },
                  result)) {
    return false;
  }
  long_path = AsGiven(path, std::move(result));
  return true;
}

bool ListFolder(StringView folder, std::vector<FolderEntry>& entries) {
  entries.clear();
  const String pattern = ToSystemPath(WithoutTrailingDelimiters(folder) + u"\\*");
  WIN32_FIND_DATAW data;
  const ScopedFindHandle find(::FindFirstFileExW(ToWide(pattern), FindExInfoBasic, &data,
                                                 FindExSearchNameMatch, nullptr, 0));
  if (!find) {
    // Nothing matched in a folder that exists: a drive's root has no "." or "..".
    if (::GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    ::SetLastError(ERROR_SUCCESS);
    return true;
  }
  do {
    const String name = FromWide(data.cFileName);
    if (name == u"." || name == u"..") continue;
    const bool is_folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const uint64_t size =
        is_folder ? 0 : (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    entries.push_back({name, is_folder, size});
  } while (::FindNextFileW(find.Get(), &data));
  if (::GetLastError() != ERROR_NO_MORE_FILES) return false;
  ::SetLastError(ERROR_SUCCESS);
  return true;
}

bool GetCurrentFolder(String& folder) {
  return FillBuffer(
      [](wchar_t* buffer, DWORD size) { return ::GetCurrentDirectoryW(size, buffer); }, folder);
}

bool SetCurrentFolder(StringView folder) {
  return ::SetCurrentDirectoryW(ToWide(String(folder))) != FALSE;
}

}  // namespace platform
