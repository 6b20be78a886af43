// Windows paths in the host double's file system.
#include "platform/host_paths_posix.h"

#include <map>
#include <mutex>

#include "platform/host_double.h"
#include "platform/os_error.h"

namespace platform {

namespace {

std::mutex drive_roots_mutex;
std::map<char16_t, std::string> drive_roots;

char16_t DriveKey(char16_t drive) {
  return (drive >= u'a' && drive <= u'z') ? static_cast<char16_t>(drive - u'a' + u'A') : drive;
}

bool IsDriveLetter(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

}  // namespace

void HostDouble::SetDriveRoot(char16_t drive, const std::string& native_folder) {
  std::lock_guard lock(drive_roots_mutex);
  drive_roots[DriveKey(drive)] = native_folder;
}

bool ToHostPath(StringView path, std::string& host_path) {
  if (path.starts_with(u"\\\\?\\")) path.remove_prefix(4);
  String relative;
  std::string root;
  if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == u':') {
    {
      std::lock_guard lock(drive_roots_mutex);
      const auto found = drive_roots.find(DriveKey(path[0]));
      if (found == drive_roots.end()) {
        SetLastOSError(ErrorPathNotFound);
        return false;
      }
      root = found->second;
    }
    relative = String(path.substr(2));
    if (relative.empty() || (relative[0] != u'\\' && relative[0] != u'/')) {
      relative.insert(relative.begin(), u'/');
    }
  } else {
    relative = String(path);
  }
  for (char16_t& c : relative) {
    if (c == u'\\') c = u'/';
  }
  host_path = root + StringToUtf8(relative);
  return true;
}

}  // namespace platform
