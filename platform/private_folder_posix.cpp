// Private folders in the host double: a folder only its owner may enter, made by mkdir, which
// never takes over an existing name.
#include <errno.h>
#include <sys/stat.h>

#include <string>

#include "platform/change_observer.h"
#include "platform/file_system.h"
#include "platform/host_file_sharing_posix.h"
#include "platform/host_paths_posix.h"
#include "platform/os_error.h"
#include "platform/private_folder.h"

namespace platform {

bool CreatePrivateFolder(StringView path) {
  String full;
  std::string host_path;
  if (!GetFullPath(path, full) || !ToHostPath(full, host_path)) return false;
  if (::mkdir(host_path.c_str(), 0700) == 0) return Reported(true, Change::FolderCreated, path);
  switch (errno) {
    case EEXIST: SetLastOSError(ErrorAlreadyExists); break;
    case ENOENT:
    case ENOTDIR: SetLastOSError(ErrorPathNotFound); break;
    default: SetLastOSError(ErrnoToOSError(errno)); break;
  }
  return false;
}

}  // namespace platform
