// Files and folders by name: existence, creation, removal, moves and copies, paths, listings and
// the current directory. Windows paths and Windows error codes on every build.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/text.h"

namespace platform {

// Every operation that can fail returns false and sets the last platform error. Paths of 260
// characters or more are passed to the system in their long-path form.

[[nodiscard]] bool FileExists(StringView path);
// A trailing backslash is allowed.
[[nodiscard]] bool FolderExists(StringView path);

// Creates one folder; its parent must exist (ErrorPathNotFound) and it must not
// (ErrorAlreadyExists).
[[nodiscard]] bool CreateFolder(StringView path);
// Creates a folder and every missing folder above it; true when it exists already.
[[nodiscard]] bool CreateFolderWithParents(StringView path);

// Deletes a file. A file open without FileShareDelete cannot be deleted (ErrorSharingViolation),
// nor can a running program's file (ErrorAccessDenied).
[[nodiscard]] bool RemoveFile(StringView path);
// Removes a folder that is empty (ErrorDirNotEmpty otherwise). The current directory cannot be
// removed (ErrorSharingViolation).
[[nodiscard]] bool RemoveEmptyFolder(StringView path);

// Moves or renames a file or a folder; fails when the target exists (ErrorAlreadyExists). A file
// open without FileShareDelete cannot be moved; a running program's file can.
[[nodiscard]] bool MovePath(StringView source, StringView target);
// Moves or renames a file over an existing file, which must not be open or running
// (ErrorAccessDenied).
[[nodiscard]] bool MoveFileReplacing(StringView source, StringView target);

// Copies a file's content and time of last change. With FailIfExists an existing target stays
// untouched (ErrorFileExists); without it the target is overwritten. The copy is never
// read-only, whatever the source is.
[[nodiscard]] bool CopyFileTo(StringView source, StringView target, bool fail_if_exists);

// Asks the system to delete a file when it next restarts (MoveFileExW with no new name and
// MOVEFILE_DELAY_UNTIL_REBOOT). Needs administrator rights on Windows.
[[nodiscard]] bool ScheduleDeleteAtRestart(StringView path);
// Asks the system to move Source over Target, replacing it, when it next restarts: the way to
// replace a file that nobody may replace now. Needs administrator rights, as the deletion does.
[[nodiscard]] bool ScheduleReplaceAtRestart(StringView source, StringView target);

// The absolute form of a path: relative to the current directory, "." and ".." resolved,
// slashes turned into backslashes (GetFullPathNameW). The file need not exist.
[[nodiscard]] bool GetFullPath(StringView path, String& full_path);
// The path with every short (8.3) name replaced by the long one; the path must exist
// (GetLongPathNameW).
[[nodiscard]] bool GetLongPath(StringView path, String& long_path);

struct FolderEntry {
  String Name;
  bool IsFolder;
  uint64_t Size;  // 0 for folders
};

// The files and folders directly inside a folder, without "." and "..", in the order the system
// gives them (a trailing backslash on the folder is allowed).
[[nodiscard]] bool ListFolder(StringView folder, std::vector<FolderEntry>& entries);

// The current directory: without a trailing backslash, except a drive's root ("C:\").
[[nodiscard]] bool GetCurrentFolder(String& folder);
[[nodiscard]] bool SetCurrentFolder(StringView folder);

}  // namespace platform
