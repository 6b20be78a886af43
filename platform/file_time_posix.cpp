// File times in the host double: the modification time of the Linux file, in the local zone.
#include <errno.h>
#include <sys/stat.h>
#include <time.h>

#include "platform/file_time.h"
#include "platform/host_file_sharing_posix.h"
#include "platform/host_paths_posix.h"
#include "platform/os_error.h"

namespace platform {

bool GetFileLastWriteTime(StringView path, LocalTime& time) {
  std::string host_path;
  if (!ToHostPath(path, host_path)) return false;
  struct stat status {};
  if (::stat(host_path.c_str(), &status) != 0) {
    SetLastOSError(ErrnoToOSError(errno));
    return false;
  }
  struct tm local {};
  if (::localtime_r(&status.st_mtim.tv_sec, &local) == nullptr) {
    SetLastOSError(ErrorInvalidParameter);
    return false;
  }
  time = {static_cast<uint16_t>(local.tm_year + 1900),
          static_cast<uint16_t>(local.tm_mon + 1),
          static_cast<uint16_t>(local.tm_mday),
          static_cast<uint16_t>(local.tm_hour),
          static_cast<uint16_t>(local.tm_min),
          static_cast<uint16_t>(local.tm_sec),
          static_cast<uint16_t>(status.st_mtim.tv_nsec / 1000000)};
  return true;
}

}  // namespace platform
