// Update tasks.
#include "product/installer_update_tasks.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

#include "core/installer.h"
#include "core/installer_active_x.h"
#include "core/installer_application_repository.h"
#include "core/installer_product_info.h"
#include "platform/exception.h"
#include "platform/file_system.h"
#include "platform/os_error.h"
#include "platform/process.h"
#include "platform/shell_folders.h"
#include "product/installer_profile.h"
#include "product/setup_helper.h"
#include "support/file_stream.h"
#include "support/names.h"
#include "support/string_list.h"

namespace {

int32_t InstalledVersion() {
  return Installer->ProductInfo().GetInstalledVersion();
}

// Clean-up work swallows its own failures: a file that stays is no reason to stop the run.
void RemoveFileQuietly(StringView path) {
  try {
    if (TSetupHelper::RemoveFile(path)) Installer->NoteRestartNeeded();
  } catch (const Exception&) {
  }
}

// Gives the file Source in Folder the name Target. A missing Source is nothing to do; a failure
// (Target exists) raises the system's error, because the new version would otherwise start with
// the wrong configuration.
void Rename(StringView folder, StringView source, StringView target) {
  const String from = String(folder) + String(source);
  if (!platform::FileExists(from)) return;
  if (!platform::MovePath(from, String(folder) + String(target))) RaiseLastOSError();
}

// Whether the two files hold the same bytes; false when either cannot be read.
bool SameBytes(StringView first, StringView second) {
  const auto open = [](StringView name) {
    return TFileStream::TryOpen(name, platform::FileAccess::Read,
                                platform::FileShareRead | platform::FileShareWrite,
                                platform::FileCreation::OpenExisting);
  };
  const std::unique_ptr<TFileStream> a = open(first);
  const std::unique_ptr<TFileStream> b = open(second);
  if (!a || !b || a->Size() != b->Size()) return false;
  std::vector<char> chunk_a(64 * 1024);
  std::vector<char> chunk_b(chunk_a.size());
  for (;;) {
    const int64_t read = a->Read(chunk_a.data(), static_cast<int64_t>(chunk_a.size()));
    if (read <= 0) return true;
    if (b->Read(chunk_b.data(), read) != read ||
        !std::equal(chunk_a.begin(), chunk_a.begin() + read, chunk_b.begin())) {
      return false;
    }
  }
}

// Rename inside the new profile, which the migration has just filled with a copy of the old
// one. A run cut short after its renames (the process killed, a power cut) and started again
// copies the old profile once more: the file then finds its new name taken by the very bytes
// the earlier run renamed. That rename is done already, and the copy goes. A new name that
// holds anything else is still a conflict nobody may decide silently.
void RenameInProfile(StringView folder, StringView source, StringView target) {
  const String from = String(folder) + String(source);
  const String to = String(folder) + String(target);
  if (!platform::FileExists(from)) return;
  if (platform::MovePath(from, to)) return;
  const uint32_t error = platform::GetLastOSError();
  if (platform::FileExists(to) && SameBytes(from, to)) {
    RemoveFileQuietly(from);
    return;
  }
  RaiseOSError(error);
}

void AddWhenExists(TVYNStringList* list, const String& path) {
  if (list != nullptr && platform::FileExists(path)) list->Add(path);
}

}  // namespace

void TInstallerUpdateTaskRemoveShellMenu::Execute(TVYNStringList*) {
  for (const StringView name : {u"System\\zelo_menu32.dll", u"System\\zelo_menu64.dll"}) {
    const String path = Installer->DestPath() + String(name);
    if (!platform::FileExists(path)) continue;
    TInstallerActiveX::Unregister(path);
    RemoveFileQuietly(path);
  }
}

void TInstallerUpdateTaskRemoveUninstallInfo::Execute(TVYNStringList*) {
  for (const StringView key : {u"ZELO3", u"ZELO"}) {
    String path;
    if (TInstallerApplicationRepository::GetInstallPath(key, path) &&
        StartsWithFolder(path, Installer->DestPath())) {
      TInstallerApplicationRepository::Unregister(key);
    }
  }
}

void TInstallerUpdateTaskRemoveShortcuts::Execute(TVYNStringList*) {
  using platform::ShellFolder;
  const auto folder_of = [](ShellFolder folder, String& path) {
    if (!platform::GetShellFolder(folder, path)) return false;
    path.push_back(u'\\');
    return true;
  };
  std::vector<String> names = {u"ZELO"};
  if (InstalledVersion() < 4000) names.push_back(u"ZELO3");
  // A maker's product of another name has its shortcuts under that name; leaving them would
  // leave the user links to a program that is gone. Only a name that stays one folder deep is
  // taken: an empty one or one with a separator or ".." would name the Start menu itself or a
  // folder outside it.
  const String product_name = Installer->ProductInfo().GetName();
  const bool plain_name = !product_name.empty() && product_name != u"." && product_name != u".." &&
                          product_name.find_first_of(u"\\/:") == String::npos;
  if (plain_name && std::none_of(names.begin(), names.end(), [&](const String& name) {
        return SameName(name, product_name);
      })) {
    names.push_back(product_name);
  }
  for (const String& name : names) {
    String folder;
    for (const ShellFolder desktop : {ShellFolder::Desktop, ShellFolder::CommonDesktop}) {
      if (folder_of(desktop, folder)) RemoveFileQuietly(folder + String(name) + u".lnk");
    }
    for (const ShellFolder menu :
         {ShellFolder::StartMenu, ShellFolder::CommonPrograms, ShellFolder::CommonStartMenu}) {
      if (folder_of(menu, folder)) TSetupHelper::RemoveFolder(folder + String(name) + u'\\', false);
    }
  }
}

void TInstallerUpdateTaskRemoveFromRegistry::Execute(TVYNStringList*) {
  // Quoted: unquoted, a destination with a blank ("C:\Program Files\...") would let the system
  // try "C:\Program.exe" first. Whether the tool exists or runs is not looked at.
  const String command = u"\"" + Installer->DestPath() + u"Elevator.exe\" /REG=U";
  static_cast<void>(platform::RunProgramAndWait(command));
  TInstallerApplicationRepository::Unregister(Installer->ProductInfo().GetName());
}

void TInstallerUpdateTaskUpdateConfigs::Execute(TVYNStringList* list) {
  const String& dest = Installer->DestPath();
  const String& new_path = profile_.NewPath;
  const int32_t version = InstalledVersion();

  // The old files stay listed: they go with the rest of the old profile at the end.
  TSetupHelper::CopyFolder(profile_.OldPath, new_path, false);
  if (list != nullptr) TSetupHelper::ExcludeFolder(*list, new_path);

  if (version < 4000) {
    Rename(dest, u"ZELO3.ini", u"ZELO.ini");
    RenameInProfile(new_path, u"ZELO3-cat.db", u"ZELO-cat.db");
    RenameInProfile(new_path, u"zelo3_menu.ini", u"ZELO-ContextMenu.ini");
    RenameInProfile(new_path, u"ZELO3.ini", u"ZELO.ini");
    RenameInProfile(new_path, u"ZELO3ac.ini", u"ZELOac.ini");
    RenameInProfile(new_path, u"ZELO3ate.ini", u"ZELOate.ini");
    for (const StringView name :
         {u"ZELO3-SkinLayout.ini", u"ZELO3.bak", u"ZELO3ac.bak", u"ZELO3ate.bak"}) {
      AddWhenExists(list, new_path + String(name));
    }
  }
  if (version < 4500) {
    AddWhenExists(list, dest + u"Skins\\Ember Noir.qsk4");
    AddWhenExists(list, dest + u"Skins\\Noir Ember.qsk4");
  }
  if (version < 4600) AddWhenExists(list, new_path + u"AlbumArts.db");
  if (version < 5020) {
    // Tidying up after the cover cache changed: nothing here is worth stopping the run for.
    try {
      AddWhenExists(list, new_path + u"AlbumArtCache.db");
      RenameInProfile(new_path, u"AlbumArtsForURLs.db", u"AlbumArts.Custom.db");
    } catch (const Exception&) {
    }
  }
}
