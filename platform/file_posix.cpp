// File in the host double: POSIX descriptors, plus Windows' sharing rules between the opens of
// this process, so that code handling "file in use" can be tested on Linux.
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <utility>

#include "platform/file.h"
#include "platform/file_attributes.h"
#include "platform/host_file_attributes_posix.h"
#include "platform/host_file_failures_posix.h"
#include "platform/host_file_sharing_posix.h"
#include "platform/host_paths_posix.h"
#include "platform/os_error.h"

namespace platform {

namespace {

struct OpenFile {
  int Descriptor;
  FileIdentity Identity;
  unsigned AccessRights;
  unsigned Share;
};

std::mutex open_files_mutex;
std::map<intptr_t, OpenFile> open_files;
intptr_t next_handle = 1;

unsigned AccessRights(FileAccess access) {
  switch (access) {
    case FileAccess::Read: return SharingRead;
    case FileAccess::Write: return SharingWrite;
    case FileAccess::ReadWrite: return SharingRead | SharingWrite;
  }
  return SharingRead;
}

int OpenFlags(FileAccess access, FileCreation creation) {
  int flags = O_CLOEXEC;
  switch (access) {
    case FileAccess::Read: flags |= O_RDONLY; break;
    case FileAccess::Write: flags |= O_WRONLY; break;
    case FileAccess::ReadWrite: flags |= O_RDWR; break;
  }
  switch (creation) {
    case FileCreation::CreateNew: flags |= O_CREAT | O_EXCL; break;
    case FileCreation::CreateAlways: flags |= O_CREAT; break;
    case FileCreation::OpenExisting: break;
    case FileCreation::OpenAlways: flags |= O_CREAT; break;
  }
  return flags;
}

// Windows tells a missing file (2) from a missing folder on the way to it (3).
uint32_t OpenError(int error_number, const std::string& host_path) {
  if (error_number != ENOENT) return ErrnoToOSError(error_number);
  const size_t slash = host_path.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return ErrorFileNotFound;
  struct stat status {};
  const std::string parent = host_path.substr(0, slash);
  return ::stat(parent.c_str(), &status) == 0 && S_ISDIR(status.st_mode) ? ErrorFileNotFound
                                                                         : ErrorPathNotFound;
}

// Windows refuses to write into a read-only file, and to replace a hidden one unless the caller
// asks for a hidden file. The permission bits alone would not stop a process running as root.
bool AttributesAllow(const std::string& host_path, unsigned rights, FileCreation creation) {
  const uint32_t attributes = HostFileAttributes(host_path);
  if (attributes == InvalidFileAttributes || (attributes & FileAttributeDirectory)) return true;
  const bool writes = (rights & SharingWrite) || creation == FileCreation::CreateAlways;
  if (writes && (attributes & FileAttributeReadOnly)) return false;
  return !(creation == FileCreation::CreateAlways && (attributes & FileAttributeHidden));
}

OpenFile* Find(intptr_t handle) {
  const auto found = open_files.find(handle);
  return found == open_files.end() ? nullptr : &found->second;
}

}  // namespace

File File::Open(StringView path, FileAccess access, unsigned share, FileCreation creation) {
  if (HostFileOperationFails(HostDouble::FileOperation::Open)) return File();
  std::string host_path;
  if (!ToHostPath(path, host_path)) return File();
  std::lock_guard lock(open_files_mutex);
  const unsigned rights = AccessRights(access);
  // The sharing check comes before the open, as on Windows: a refused open must not create
  // or truncate the file.
  FileIdentity identity{};
  if (IdentifyFile(host_path, identity) && !SharingAllows(identity, rights, share)) {
    SetLastOSError(ErrorSharingViolation);
    return File();
  }
  if (!AttributesAllow(host_path, rights, creation)) {
    SetLastOSError(ErrorAccessDenied);
    return File();
  }
  const int descriptor = ::open(host_path.c_str(), OpenFlags(access, creation), 0644);
  if (descriptor < 0) {
    SetLastOSError(OpenError(errno, host_path));
    return File();
  }
  struct stat status {};
  if (::fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode)) {
    ::close(descriptor);
    SetLastOSError(ErrorAccessDenied);
    return File();
  }
  if (creation == FileCreation::CreateAlways && ::ftruncate(descriptor, 0) != 0) {
    SetLastOSError(ErrnoToOSError(errno));
    ::close(descriptor);
    return File();
  }
  identity = {status.st_dev, status.st_ino};
  RegisterSharing(identity, rights, share);
  const intptr_t handle = next_handle++;
  open_files[handle] = {descriptor, identity, rights, share};
  return File(handle);
}

bool File::Read(void* buffer, size_t count, size_t& bytes_read) {
  bytes_read = 0;
  if (HostFileOperationFails(HostDouble::FileOperation::Read)) return false;
  int descriptor;
  {
    std::lock_guard lock(open_files_mutex);
    const OpenFile* file = Find(handle_);
    if (file == nullptr || !(file->AccessRights & SharingRead)) {
      SetLastOSError(file == nullptr ? ErrorInvalidHandle : ErrorAccessDenied);
      return false;
    }
    descriptor = file->Descriptor;
  }
  auto* out = static_cast<char*>(buffer);
  while (count > 0) {
    const ssize_t done = ::read(descriptor, out, count);
    if (done < 0) {
      if (errno == EINTR) continue;
      SetLastOSError(ErrnoToOSError(errno));
      return false;
    }
    if (done == 0) break;
    bytes_read += static_cast<size_t>(done);
    out += done;
    count -= static_cast<size_t>(done);
  }
  return true;
}

bool File::Write(const void* buffer, size_t count, size_t& bytes_written) {
  bytes_written = 0;
  if (HostFileOperationFails(HostDouble::FileOperation::Write)) return false;
  int descriptor;
  {
    std::lock_guard lock(open_files_mutex);
    const OpenFile* file = Find(handle_);
    if (file == nullptr || !(file->AccessRights & SharingWrite)) {
      SetLastOSError(file == nullptr ? ErrorInvalidHandle : ErrorAccessDenied);
      return false;
    }
    descriptor = file->Descriptor;
  }
  const auto* in = static_cast<const char*>(buffer);
  while (count > 0) {
    const ssize_t done = ::write(descriptor, in, count);
    if (done < 0) {
      if (errno == EINTR) continue;
      SetLastOSError(ErrnoToOSError(errno));
      return false;
    }
    bytes_written += static_cast<size_t>(done);
    in += done;
    count -= static_cast<size_t>(done);
  }
  return true;
}

bool File::Seek(int64_t offset, SeekOrigin origin, int64_t& new_position) {
  std::lock_guard lock(open_files_mutex);
  const OpenFile* file = Find(handle_);
  if (file == nullptr) {
    SetLastOSError(ErrorInvalidHandle);
    return false;
  }
  const int whence = origin == SeekOrigin::Begin     ? SEEK_SET
                     : origin == SeekOrigin::Current ? SEEK_CUR
                                                     : SEEK_END;
  const off_t result = ::lseek(file->Descriptor, offset, whence);
  if (result < 0) {
    SetLastOSError(errno == EINVAL ? ErrorInvalidParameter : ErrnoToOSError(errno));
    return false;
  }
  new_position = result;
  return true;
}

bool File::GetSize(int64_t& size) {
  std::lock_guard lock(open_files_mutex);
  const OpenFile* file = Find(handle_);
  struct stat status {};
  if (file == nullptr || ::fstat(file->Descriptor, &status) != 0) {
    SetLastOSError(ErrorInvalidHandle);
    return false;
  }
  size = status.st_size;
  return true;
}

bool File::Truncate() {
  std::lock_guard lock(open_files_mutex);
  const OpenFile* file = Find(handle_);
  if (file == nullptr) {
    SetLastOSError(ErrorInvalidHandle);
    return false;
  }
  const off_t position = ::lseek(file->Descriptor, 0, SEEK_CUR);
  if (position < 0 || ::ftruncate(file->Descriptor, position) != 0) {
    SetLastOSError(ErrnoToOSError(errno));
    return false;
  }
  return true;
}

void File::Close() {
  if (!IsOpen()) return;
  const uint32_t saved_error = GetLastOSError();
  {
    std::lock_guard lock(open_files_mutex);
    if (OpenFile* file = Find(handle_)) {
      ::close(file->Descriptor);
      UnregisterSharing(file->Identity, file->AccessRights, file->Share);
      open_files.erase(handle_);
    }
  }
  SetLastOSError(saved_error);
  handle_ = InvalidHandle;
}

}  // namespace platform
