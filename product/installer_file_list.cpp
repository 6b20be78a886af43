// The files of a backup.
#include "product/installer_file_list.h"

#include "platform/file_name.h"
#include "product/setup_helper.h"
#include "support/names.h"

void TInstallerFileList::AddFolder(StringView folder, StringView excluded_folder,
                                   StringView prefix) {
  const String root = platform::IncludeTrailingPathDelimiter(folder);
  TSetupHelper::FindFiles(root, excluded_folder, [&](const String& path, uint64_t size) {
    items_.push_back({path, String(prefix) + path.substr(root.size()), size});
  });
}

void TInstallerFileList::RemoveByFileName(StringView file_name) {
  for (size_t i = items_.size(); i-- > 0;) {
    if (SameName(platform::ExtractFileName(items_[i].FileName), file_name)) {
      items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
}
