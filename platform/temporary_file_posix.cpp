// Temporary file names in the host double, made as GetTempFileNameW makes them: the folder, up to
// three characters of the prefix, a hexadecimal number and ".tmp", created empty so that the
// name is taken.
#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "platform/clock.h"
#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/host_double.h"
#include "platform/host_file_sharing_posix.h"
#include "platform/host_paths_posix.h"
#include "platform/host_temp_folder_posix.h"
#include "platform/os_error.h"
#include "platform/temporary_file.h"

namespace platform {

namespace {

std::atomic<bool> temp_folder_fails{false};

// The numbers are 16 bits wide and never 0, which would ask the caller to name the file.
uint32_t NextNumber(uint32_t number) {
  return number >= 0xFFFF ? 1 : number + 1;
}

String Hexadecimal(uint32_t number) {
  char text[8];
  std::snprintf(text, sizeof(text), "%X", number);
  return Utf8ToString(text);
}

}  // namespace

bool HostTempFolderFails() {
  return temp_folder_fails;
}

void HostDouble::FailTempFolder(bool fail) {
  temp_folder_fails = fail;
}

bool CreateTemporaryFile(StringView folder, StringView prefix, String& path) {
  if (temp_folder_fails) {
    SetLastOSError(ErrorAccessDenied);
    return false;
  }
  const String named_folder = IncludeTrailingPathDelimiter(folder);
  String full_folder;
  std::string host_folder;
  if (!GetFullPath(named_folder, full_folder) || !ToHostPath(full_folder, host_folder)) {
    return false;
  }
  if (!FolderExists(full_folder)) {
    SetLastOSError(ErrorDirectory);
    return false;
  }
  const String start = String(prefix.substr(0, 3));
  // The first number comes from the clock, as on Windows, so that names spread out.
  uint32_t number = NextNumber(static_cast<uint32_t>(MonotonicMilliseconds() & 0xFFFF) - 1);
  for (uint32_t tries = 0; tries < 0xFFFF; ++tries, number = NextNumber(number)) {
    const String name = start + Hexadecimal(number) + u".tmp";
    const std::string host_path = host_folder + "/" + StringToUtf8(name);
    const int descriptor = ::open(host_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (descriptor >= 0) {
      ::close(descriptor);
      path = named_folder + name;
      return true;
    }
    if (errno != EEXIST) {
      SetLastOSError(ErrnoToOSError(errno));
      return false;
    }
  }
  SetLastOSError(ErrorFileExists);
  return false;
}

}  // namespace platform
