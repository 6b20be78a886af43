// The files of a backup: each file's place on disk and its name inside the archive.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/text.h"

class TInstallerFileList {
 public:
  struct TItem {
    String FileName;     // the full path on disk
    String ArchiveName;  // the name inside the archive
    uint64_t Size;       // in bytes, as listed
  };

  // Adds every file of the tree under Folder (the file search of TSetupHelper::FindFiles, not
  // entering ExcludedFolder), each named Prefix + its path relative to Folder.
  void AddFolder(StringView folder, StringView excluded_folder, StringView prefix);
  // Drops, from the last item to the first, every item whose last path component is FileName,
  // letter case ignored.
  void RemoveByFileName(StringView file_name);

  int Count() const { return static_cast<int>(items_.size()); }
  const TItem& Items(int index) const { return items_[static_cast<size_t>(index)]; }

 private:
  std::vector<TItem> items_;
};
