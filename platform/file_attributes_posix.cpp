// File attributes in the host double: read-only through the write permission bits, hidden as a
// mark kept in memory for the files of this process.
#include <errno.h>
#include <sys/stat.h>

#include <mutex>
#include <set>

#include "platform/file_attributes.h"
#include "platform/host_file_attributes_posix.h"
#include "platform/host_file_sharing_posix.h"
#include "platform/host_paths_posix.h"
#include "platform/os_error.h"

namespace platform {

namespace {

// Marks follow the file rather than its name, as Windows attributes do when a file is renamed.
std::mutex hidden_files_mutex;
std::set<FileIdentity> hidden_files;

constexpr mode_t WriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

}  // namespace

uint32_t HostFileAttributes(const std::string& host_path) {
  struct stat status {};
  if (::stat(host_path.c_str(), &status) != 0) return InvalidFileAttributes;
  uint32_t attributes = S_ISDIR(status.st_mode) ? FileAttributeDirectory : FileAttributeArchive;
  if ((status.st_mode & WriteBits) == 0) attributes |= FileAttributeReadOnly;
  std::lock_guard lock(hidden_files_mutex);
  if (hidden_files.count(FileIdentity{status.st_dev, status.st_ino}) != 0) {
    attributes |= FileAttributeHidden;
  }
  return attributes;
}

uint32_t GetFileAttributeFlags(StringView path) {
  std::string host_path;
  if (!ToHostPath(path, host_path)) return InvalidFileAttributes;
  const uint32_t attributes = HostFileAttributes(host_path);
  if (attributes == InvalidFileAttributes) {
    SetLastOSError(errno == ENOENT ? ErrorFileNotFound : ErrnoToOSError(errno));
  }
  return attributes;
}

bool SetFileAttributeFlags(StringView path, uint32_t attributes) {
  std::string host_path;
  if (!ToHostPath(path, host_path)) return false;
  struct stat status {};
  if (::stat(host_path.c_str(), &status) != 0) {
    SetLastOSError(errno == ENOENT ? ErrorFileNotFound : ErrnoToOSError(errno));
    return false;
  }
  // Clearing read-only gives the owner write permission back, as Wine does.
  const mode_t mode = (attributes & FileAttributeReadOnly) ? (status.st_mode & ~WriteBits)
                                                           : (status.st_mode | S_IWUSR);
  if (::chmod(host_path.c_str(), mode & 07777) != 0) {
    SetLastOSError(ErrnoToOSError(errno));
    return false;
  }
  const FileIdentity identity{status.st_dev, status.st_ino};
  std::lock_guard lock(hidden_files_mutex);
  if (attributes & FileAttributeHidden) {
    hidden_files.insert(identity);
  } else {
    hidden_files.erase(identity);
  }
  return true;
}

}  // namespace platform
