// Creating a folder with its missing parents, on top of each platform's single-folder creation.
#include "platform/file_system.h"
#include "platform/os_error.h"

namespace platform {

namespace {

bool IsDelimiter(char16_t c) {
  return c == u'\\' || c == u'/';
}

size_t SkipName(StringView path, size_t start) {
  while (start < path.size() && !IsDelimiter(path[start])) ++start;
  return start;
}

// The length of the part of a path that names a drive or a network share ("C:", "\\?\C:",
// "\\server\share", "\\?\UNC\server\share"), which no one creates; 0 for other paths.
size_t RootLength(StringView path) {
  size_t start = 0;
  if (path.starts_with(u"\\\\?\\UNC\\")) {
    start = 8;
  } else if (path.starts_with(u"\\\\?\\")) {
    return path.size() >= 6 && path[5] == u':' ? 6 : 4;
  } else if (path.starts_with(u"\\\\")) {
    start = 2;
  } else {
    return path.size() >= 2 && path[1] == u':' ? 2 : 0;
  }
  const size_t server_end = SkipName(path, start);
  return server_end < path.size() ? SkipName(path, server_end + 1) : server_end;
}

}  // namespace

bool CreateFolderWithParents(StringView path) {
  String folder(path);
  while (folder.size() > 1 && IsDelimiter(folder.back())) folder.pop_back();
  if (folder.empty()) {
    SetLastOSError(ErrorPathNotFound);
    return false;
  }
  if (FolderExists(folder)) return true;
  // Parents first, up to the drive or share, which must exist; the first parent that cannot be
  // made stops the walk with its error.
  const size_t delimiter = folder.find_last_of(u"\\/");
  if (delimiter != String::npos && delimiter > RootLength(folder) &&
      !CreateFolderWithParents(StringView(folder).substr(0, delimiter))) {
    return false;
  }
  if (CreateFolder(folder)) return true;
  // Someone else may have made it in the meantime; a file of that name still fails.
  return GetLastOSError() == ErrorAlreadyExists && FolderExists(folder);
}

}  // namespace platform
