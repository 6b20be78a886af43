// Calling a library's export: the loading ritual shared by every platform.
#include "platform/library.h"
#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/os_error.h"

namespace platform {

bool CallLibraryExport(StringView library_path, std::string_view export_name) {
  const unsigned previous_mode = SetSystemErrorMode(ErrorModeFailCriticalErrors);
  String previous_folder;
  const bool folder_known = GetCurrentFolder(previous_folder);
  // Libraries the library depends on are then found beside it, also by systems and loaders
  // that still look in the current directory.
  const String folder = ExtractFilePath(library_path);
  // Should the change fail, a library with dependencies fails to load, which is reported below.
  if (!folder.empty()) static_cast<void>(SetCurrentFolder(folder));
  Library library = Library::Load(library_path);
  const uint32_t load_error = GetLastOSError();
  // The folder was current a moment ago; should it be gone now, staying in the library's folder
  // is all that is left to do.
  if (folder_known) static_cast<void>(SetCurrentFolder(previous_folder));
  SetSystemErrorMode(previous_mode);
  if (!library.IsLoaded()) {
    SetLastOSError(load_error);
    return false;
  }
  return library.CallExport(export_name);
}

}  // namespace platform
