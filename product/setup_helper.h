// File and folder chores shared by the prepare, update and uninstall steps: copying a profile,
// sparing a folder from a deletion list, removing folders, and removing a file that may be in
// use.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/text.h"

class TVYNStringList;

class TSetupHelper {
 public:
  // Copies the tree Source into Target (both with a trailing delimiter), creating folders as
  // needed and replacing target files of the same name; nothing when the two are the same
  // folder. Stops at the first failure and raises EInstallerInstallError "Cannot copy "%s" to
  // "%s"". With Move, the Source tree is removed once the copy is complete.
  static void CopyFolder(StringView source, StringView target, bool move);

  // Drops every entry of List that starts with Folder, letter case ignored, walking from the
  // last entry to the first.
  static void ExcludeFolder(TVYNStringList& list, StringView folder);

  // OnlyIfEmpty: removes the folder only when it is empty. Otherwise removes its files (as they
  // are, attributes untouched) and subfolders, recursively, then the folder; the first file or
  // folder that cannot be removed stops the walk and leaves the rest. Failures are not reported.
  static void RemoveFolder(StringView path, bool only_if_empty);

  // Deletes the file when it exists, clearing its attributes first. A file that cannot be
  // deleted (in use) is moved to a new unique name in the temporary folder and that name is
  // scheduled for deletion at the next restart. Raises EOSError only when the temporary name
  // cannot be made; every other failure leaves the file where it is, unreported. True when the
  // file was moved aside and goes only at the restart, which the caller may have to tell.
  static bool RemoveFile(StringView path);

  // The file search: calls Found with each file's full path and size, first the files of
  // Folder, then its subfolders, each in sorted order, recursively. A folder whose path (with
  // its trailing delimiter) starts with ExcludedFolder, letter case ignored, is not entered; an
  // empty ExcludedFolder excludes nothing. A folder that cannot be listed contributes nothing.
  static void FindFiles(StringView folder, StringView excluded_folder,
                        const std::function<void(const String& path, uint64_t size)>& found);
};

// Whether Text starts with Prefix, compared the way file names are (user locale, letter case
// ignored).
bool StartsWithFolder(StringView text, StringView prefix);
