// Windows' file-sharing rules in the host double.
#include "platform/host_file_sharing_posix.h"

#include <errno.h>
#include <sys/stat.h>

#include <map>
#include <mutex>
#include <vector>

#include "platform/os_error.h"

namespace platform {

namespace {

struct SharingEntry {
  unsigned AccessRights;
  unsigned Share;
};

std::recursive_mutex sharing_mutex;
std::map<FileIdentity, std::vector<SharingEntry>> sharing_table;

}  // namespace

bool IdentifyFile(const std::string& host_path, FileIdentity& identity) {
  struct stat status {};
  if (::stat(host_path.c_str(), &status) != 0) return false;
  identity = {status.st_dev, status.st_ino};
  return true;
}

bool SharingAllows(const FileIdentity& identity, unsigned access_rights, unsigned share) {
  std::lock_guard lock(sharing_mutex);
  const auto found = sharing_table.find(identity);
  if (found == sharing_table.end()) return true;
  for (const SharingEntry& entry : found->second) {
    if ((access_rights & ~entry.Share) != 0) return false;
    if ((entry.AccessRights & ~share) != 0) return false;
  }
  return true;
}

void RegisterSharing(const FileIdentity& identity, unsigned access_rights, unsigned share) {
  std::lock_guard lock(sharing_mutex);
  sharing_table[identity].push_back({access_rights, share});
}

void UnregisterSharing(const FileIdentity& identity, unsigned access_rights, unsigned share) {
  std::lock_guard lock(sharing_mutex);
  const auto found = sharing_table.find(identity);
  if (found == sharing_table.end()) return;
  auto& entries = found->second;
  for (auto entry = entries.begin(); entry != entries.end(); ++entry) {
    if (entry->AccessRights == access_rights && entry->Share == share) {
      entries.erase(entry);
      break;
    }
  }
  if (entries.empty()) sharing_table.erase(found);
}

uint32_t ErrnoToOSError(int error_number) {
  switch (error_number) {
    case ENOENT: return ErrorFileNotFound;
    case ENOTDIR: return ErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS: return ErrorAccessDenied;
    case EEXIST: return ErrorFileExists;
    case ENOTEMPTY: return ErrorDirNotEmpty;
    case ENOSPC: return ErrorDiskFull;
    case ENOMEM: return ErrorNotEnoughMemory;
    case EBADF: return ErrorInvalidHandle;
    default: return ErrorInvalidParameter;
  }
}

}  // namespace platform
