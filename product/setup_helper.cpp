// File and folder chores of the product's steps.
#include "product/setup_helper.h"

#include <algorithm>
#include <vector>

#include "core/installer_errors.h"
#include "platform/exception.h"
#include "platform/file_attributes.h"
#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/locale.h"
#include "platform/os_error.h"
#include "platform/shell_folders.h"
#include "platform/temporary_file.h"
#include "support/format_text.h"
#include "support/names.h"
#include "support/string_list.h"

namespace {

// The entries of Folder split into files and subfolders, each sorted by name, so that every
// walk (and so every backup archive) has the same order whatever order the system lists in.
struct SortedListing {
  std::vector<platform::FolderEntry> Files;
  std::vector<platform::FolderEntry> Folders;
};

bool ListSorted(StringView folder, SortedListing& listing) {
  std::vector<platform::FolderEntry> entries;
  if (!platform::ListFolder(folder, entries)) return false;
  for (platform::FolderEntry& entry : entries) {
    (entry.IsFolder ? listing.Folders : listing.Files).push_back(std::move(entry));
  }
  const auto by_name = [](const platform::FolderEntry& a, const platform::FolderEntry& b) {
    return platform::CompareTextIgnoringCase(a.Name, b.Name) < 0;
  };
  std::sort(listing.Files.begin(), listing.Files.end(), by_name);
  std::sort(listing.Folders.begin(), listing.Folders.end(), by_name);
  return true;
}

// Copies the tree; false at the first file or folder that could not be made.
bool CopyTree(const String& source, const String& target) {
  SortedListing listing;
  if (!ListSorted(source, listing)) return false;
  if (!platform::CreateFolderWithParents(target)) return false;
  for (const platform::FolderEntry& file : listing.Files) {
    if (!platform::CopyFileTo(source + file.Name, target + file.Name, false)) return false;
  }
  for (const platform::FolderEntry& folder : listing.Folders) {
    if (!CopyTree(source + folder.Name + u'\\', target + folder.Name + u'\\')) return false;
  }
  return true;
}

// Removes the tree; false at the first file or folder that stays.
bool RemoveTree(const String& folder) {
  std::vector<platform::FolderEntry> entries;
  if (!platform::ListFolder(folder, entries)) return false;
  for (const platform::FolderEntry& entry : entries) {
    if (entry.IsFolder) {
      if (!RemoveTree(folder + entry.Name + u'\\')) return false;
    } else if (!platform::RemoveFile(folder + entry.Name)) {
      return false;
    }
  }
  return platform::RemoveEmptyFolder(folder);
}

void FindFilesIn(const String& folder, StringView excluded_folder,
                 const std::function<void(const String& path, uint64_t size)>& found) {
  if (!excluded_folder.empty() && StartsWithFolder(folder, excluded_folder)) return;
  SortedListing listing;
  if (!ListSorted(folder, listing)) return;
  for (const platform::FolderEntry& file : listing.Files) found(folder + file.Name, file.Size);
  for (const platform::FolderEntry& subfolder : listing.Folders) {
    FindFilesIn(folder + subfolder.Name + u'\\', excluded_folder, found);
  }
}

}  // namespace

bool StartsWithFolder(StringView text, StringView prefix) {
  return text.size() >= prefix.size() && SameName(text.substr(0, prefix.size()), prefix);
}

void TSetupHelper::CopyFolder(StringView source, StringView target, bool move) {
  if (SameName(source, target)) return;
  const String from = platform::IncludeTrailingPathDelimiter(source);
  const String to = platform::IncludeTrailingPathDelimiter(target);
  if (!CopyTree(from, to)) {
    throw EInstallerInstallError(FormatText(u"Cannot copy \"%s\" to \"%s\"", {source, target}));
  }
  // Only a complete copy may take the place of the source.
  if (move) RemoveFolder(from, false);
}

void TSetupHelper::ExcludeFolder(TVYNStringList& list, StringView folder) {
  for (int i = list.Count() - 1; i >= 0; --i) {
    if (StartsWithFolder(list.Items(i), folder)) list.Delete(i);
  }
}

void TSetupHelper::RemoveFolder(StringView path, bool only_if_empty) {
  const String folder = platform::IncludeTrailingPathDelimiter(path);
  if (only_if_empty) {
    // A folder that still holds something stays; that is the point, not a failure.
    static_cast<void>(platform::RemoveEmptyFolder(folder));
    return;
  }
  // Clean-up work: what cannot be removed stays, unreported.
  static_cast<void>(RemoveTree(folder));
}

bool TSetupHelper::RemoveFile(StringView path) {
  if (!platform::FileExists(path)) return false;
  // A read-only file cannot be deleted; its attributes no longer matter.
  static_cast<void>(platform::SetFileAttributeFlags(path, platform::FileAttributeNormal));
  if (platform::RemoveFile(path)) return false;

  // In use: a running program's file can still be renamed, so it leaves its folder (which can
  // then be removed) for the temporary folder, and the system deletes it when it restarts.
  String temp_folder;
  String temp_name;
  if (!platform::GetTempFolder(temp_folder) ||
      !platform::CreateTemporaryFile(temp_folder, u"delete", temp_name)) {
    RaiseLastOSError();
  }
  // The name is ours now; the empty file that reserved it must go for the move to succeed.
  static_cast<void>(platform::RemoveFile(temp_name));
  return platform::MovePath(path, temp_name) && platform::ScheduleDeleteAtRestart(temp_name);
}

void TSetupHelper::FindFiles(StringView folder, StringView excluded_folder,
                             const std::function<void(const String& path, uint64_t size)>& found) {
  FindFilesIn(platform::IncludeTrailingPathDelimiter(folder), excluded_folder, found);
}
