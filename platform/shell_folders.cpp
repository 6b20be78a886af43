// The shell-folder services that follow from the ones each platform provides.
#include "platform/shell_folders.h"

#include "platform/exception.h"
#include "platform/file_name.h"
#include "platform/os_error.h"

namespace platform {

String TemporaryFolder() {
  String path;
  if (!GetTempFolder(path)) RaiseLastOSError();
  if (path.empty()) RaiseOSError(ErrorPathNotFound);
  return IncludeTrailingPathDelimiter(path);
}

}  // namespace platform
