// Windows paths in the host double's file system.
#include "platform/host_paths_posix.h"

#include <dirent.h>
#include <sys/stat.h>

#include <map>
#include <memory>
#include <mutex>

#include "platform/host_double.h"
#include "platform/locale.h"
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

bool Exists(const std::string& path) {
  struct stat status {};
  return ::lstat(path.c_str(), &status) == 0;
}

// The entry of Folder whose name equals Name ignoring case, as Windows would find it.
bool FindIgnoringCase(const std::string& folder, const std::string& name, std::string& found) {
  const std::unique_ptr<DIR, int (*)(DIR*)> directory(::opendir(folder.c_str()), &::closedir);
  if (!directory) return false;
  const String wanted = Utf8ToString(name);
  while (const dirent* entry = ::readdir(directory.get())) {
    const String candidate = Utf8ToString(entry->d_name);
    if (candidate.size() == wanted.size() && CompareTextIgnoringCase(candidate, wanted) == 0) {
      found = entry->d_name;
      return true;
    }
  }
  return false;
}

// Windows finds files ignoring the letter case of their names; Linux does not. A part of the
// path that does not exist as written is looked up among its folder's entries ignoring case, so
// "C:\Apps\UNINSTALL.DAT" finds "Uninstall.dat" here as it would there. From the first part
// that exists in no spelling on, the path stays as written (something about to be created).
std::string ResolveIgnoringCase(const std::string& root, const std::string& relative) {
  std::string resolved = root;
  size_t start = 0;
  while (start < relative.size()) {
    size_t end = relative.find('/', start);
    if (end == std::string::npos) end = relative.size();
    const std::string part = relative.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == "." || part == "..") {
      resolved += "/" + part;
      continue;
    }
    std::string actual;
    if (Exists(resolved + "/" + part) || !FindIgnoringCase(resolved, part, actual)) {
      resolved += "/" + part;
      if (!Exists(resolved)) {
        if (start < relative.size()) resolved += "/" + relative.substr(start);
        return resolved;
      }
    } else {
      resolved += "/" + actual;
    }
  }
  if (!relative.empty() && relative.back() == '/') resolved += "/";
  return resolved;
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
  const bool on_drive = path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == u':';
  if (on_drive) {
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
  // Native Linux paths (the maker's tool) keep Linux's rules; drive paths follow Windows'.
  host_path =
      on_drive ? ResolveIgnoringCase(root, StringToUtf8(relative)) : root + StringToUtf8(relative);
  return true;
}

}  // namespace platform
