// The uninstaller's last step: deletes the installed files that the uninstall data lists, then
// the folders of the installation, and, as the user chose, the backups and the player's
// settings (the portable profile and every user's profile).
#pragma once

#include <memory>
#include <vector>

#include "core/installer_action.h"

class TVYNIniFile;

class TInstallerActionUninstallFiles : public TInstallerAction {
 public:
  static constexpr const char16_t* ClassName = u"TInstallerActionUninstallFiles";
  static const TInstallerActionClass& Class() {
    return TInstallerActionClass::Of<TInstallerActionUninstallFiles>();
  }

  struct TFolderItem {
    String Path;     // with a trailing delimiter
    bool WholeTree;  // false: removed only when it is empty
  };

  // Takes the folder list, then the file list, then deletes the files and the folders in list
  // order. Deletions that fail are not reported; a file in use goes at the next restart.
  void Execute() override;

  // Every subfolder of the installation folder, each after its own subfolders, to go when
  // empty; then, as chosen, "!Backup\", the installation folder itself or its "Profile\", and
  // the users' profiles, each to go as a whole. A folder that must never go as a whole (a
  // drive's root, a system or user folder) is left out of that.
  std::vector<TFolderItem> CreateFolderList() const;
  // The files of "Uninstall.ini" that lie inside the installation folder, full paths, each once.
  std::vector<String> CreateFileList() const;
  // The files that "Uninstall.ini" (Data) lists under the installation folder Folder: the
  // entries "0" to Count - 1 of section "Uninstall" in index order, each resolved by
  // ResolveEntry, full paths, each once (letter case ignored, the first stays). Only the keys
  // the section holds are visited, so the cost follows the file's size and never its "Count".
  static std::vector<String> ReadFileList(const TVYNIniFile& data, StringView folder);

  // The file an entry of "Uninstall.ini" names: Entry taken relative to Folder (absolute, with
  // a trailing delimiter), "/" read as "\", "." and ".." resolved. False, naming nothing, for an
  // entry that leaves Folder or names Folder itself, an absolute or rooted path (drive letter,
  // "\\server", "\\?\", "\\.\"), a device name (CON, NUL, COM1, LPT1, ... with or without an
  // extension), an alternate data stream ("file:stream"), a component that the system would
  // trim (trailing dot or blank) or a character that file names cannot hold. The uninstall data
  // is a file on disk that anybody with write access to the installation may have edited; an
  // entry must not make the uninstaller delete anything outside its own folder.
  static bool ResolveEntry(StringView folder, StringView entry, String& path);
};
