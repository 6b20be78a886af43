// The prepare action.
#include "product/installer_action_prepare.h"

#include <cmath>
#include <initializer_list>
#include <string>
#include <unordered_set>

#include "core/installer.h"
#include "core/installer_errors.h"
#include "core/installer_product_info.h"
#include "core/installer_resources.h"
#include "core/installer_summary_builder.h"
#include "package/installer_script.h"
#include "platform/change_observer.h"
#include "platform/clock.h"
#include "platform/exception.h"
#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/locale.h"
#include "platform/os_error.h"
#include "platform/shell_folders.h"
#include "product/product_info_zelo.h"
#include "product/setup_helper.h"
#include "product/user_accounts.h"
#include "support/format_text.h"
#include "support/names.h"
#include "support/string_list.h"
#include "support/zip_writer.h"

namespace {

constexpr char16_t BackupFolderName[] = u"!Backup\\";
// The archive format's 32-bit offsets end here; a larger backup would be unreadable.
constexpr uint64_t BackupSizeLimit = uint64_t{1} << 31;
constexpr int BackupsKept = 3;

// Caches of cover art: rebuilt by the player, not worth a backup, but deleted all the same.
constexpr StringView FilesNotSaved[] = {u"AlbumArts.cache", u"AlbumArts.db", u"AlbumArtsCache.db",
                                        u"AlbumArtCache.db", u"UpdateInstaller.exe"};

// Folders of an installation that an update keeps: add-ins and data the user chose.
constexpr StringView FoldersKeptOnUpdate[] = {u"Icons\\", u"System\\Data\\", u"System\\Encoders\\",
                                              u"Skins\\"};

// Plug-ins that newer versions replaced, removed when the installed version is older than the
// one given.
struct ObsoletePlugin {
  StringView Folder;
  int32_t Before;
};
constexpr int32_t Always = INT32_MAX;
constexpr ObsoletePlugin ObsoletePlugins[] = {
    {u"Plugins\\zelo_Cirrow\\", 4002},    {u"Plugins\\zelo_Handova\\", 4002},
    {u"Plugins\\Crestica\\", 4002},       {u"Plugins\\Shuvelle\\", 4002},
    {u"Plugins\\Blendrix\\", 4002},       {u"Plugins\\Vessora\\", 4699},
    {u"Plugins\\zelo_Tessaline\\", 5030}, {u"Plugins\\zelo_Tallyo\\", Always},
    {u"Plugins\\zelo_Tagwell\\", Always},
};

String Digits(unsigned value, size_t width) {
  String text = Utf8ToString(std::to_string(value));
  if (text.size() < width) text.insert(0, width - text.size(), u'0');
  return text;
}

String Decimal(uint64_t value) {
  return Utf8ToString(std::to_string(value));
}

bool HasOption(int option) {
  return Installer->HasOption(option);
}

int32_t InstalledVersion() {
  return Installer->ProductInfo().GetInstalledVersion();
}

// Keeps the first of entries equal ignoring case.
void RemoveDuplicates(TVYNStringList& list) {
  std::unordered_set<String> seen;
  for (int i = 0; i < list.Count();) {
    if (seen.insert(platform::UpperCase(list.Items(i))).second) {
      ++i;
    } else {
      list.Delete(i);
    }
  }
}

// The name an archive has while it is being written, beside its own: "~" + its name + ".tmp",
// the form every file being written takes. It does not end in ".zip", so that nothing counts
// it among the backups.
String UnfinishedArchiveName(const String& archive_name) {
  return platform::ExtractFilePath(archive_name) + u"~" + platform::ExtractFileName(archive_name) +
         u".tmp";
}

bool IsUnfinishedArchiveName(StringView name) {
  constexpr StringView Start = u"~z Before install ";
  constexpr StringView End = u".zip.tmp";
  return name.size() > Start.size() + End.size() && SameName(name.substr(0, Start.size()), Start) &&
         SameName(name.substr(name.size() - End.size()), End);
}

// The system's text for a backup failure, on a line of its own. Nothing when no system error is
// known (throwing may clear it on Windows): its text would only say "success" under a failure.
String SystemReasonLine(uint32_t os_error) {
  if (os_error == platform::ErrorSuccess) return {};
  return u"\r\n" + platform::SysErrorMessage(os_error);
}

}  // namespace

bool NeedsInstallWarning() {
  if (HasOption(ioUpdate)) return false;
  if (InstalledVersion() >= 1) return true;
  String path;
  return !HasOption(ioPortable) && TProductInfoZELO::FindInstalledPath(path);
}

String TInstallerActionPrepare::BackupArchiveName(StringView folder) {
  const platform::LocalTime now = platform::GetCurrentLocalTime();
  const String stamp = Digits(now.Year, 4) + u'.' + Digits(now.Month, 2) + u'.' +
                       Digits(now.Day, 2) + u' ' + Digits(now.Hour, 2) + u'-' +
                       Digits(now.Minute, 2) + u'-' + Digits(now.Second, 2);
  return String(folder) + u"z Before install " + Installer->ProductInfo().GetVersion() + u" [" +
         stamp + u"].zip";
}

void TInstallerActionPrepare::BuildSummary(TInstallerSummaryBuilder& builder) {
  builder.SetHeadingText(u"PageSetup", u"LB1");
  builder.AddItem(Installer->DestPath());
  builder.SetHeadingText(u"PageSetup", u"Title");
  builder.AddItemText(u"PageSetup", HasOption(ioUpdate)     ? u"CB1"
                                    : HasOption(ioPortable) ? u"CB3"
                                                            : u"CB2");
  if (!HasOption(ioNoBackup)) builder.AddItemText(u"PageSetup", u"CB4");
  if (NeedsInstallWarning()) {
    builder.SetHeadingText(u"PageSetup", u"Title");
    builder.AddItemText(u"PageSetup", u"W3");
  }
}

void TInstallerActionPrepare::Execute() {
  done_ = 0;
  TVYNStringList deletion_list;
  const String& dest = Installer->DestPath();
  const String backup_folder = dest + BackupFolderName;

  FindProfiles();
  CreateTasks();
  total_ = static_cast<int>(tasks_.size());

  String written;
  if (!HasOption(ioNoBackup)) {
    TInstallerFileList backup_list;
    if (HasOption(ioPortable)) {
      backup_list.AddFolder(dest, backup_folder, u"");
    } else {
      for (int i = 0; i < profiles_.Count(); ++i) {
        const TInstallerProfileInfo& profile = profiles_.Items(i);
        backup_list.AddFolder(profile.OldPath, backup_folder, u"Profiles\\" + profile.Name + u'\\');
      }
      backup_list.AddFolder(dest, backup_folder, u"Program\\");
    }
    total_ += backup_list.Count();
    for (int i = 0; i < backup_list.Count(); ++i) deletion_list.Add(backup_list.Items(i).FileName);
    for (const StringView name : FilesNotSaved) backup_list.RemoveByFileName(name);
    written = WriteArchive(backup_list, backup_folder);
  }

  if (HasOption(ioUpdate)) {
    // Before 3.60 the plug-ins were part of the program; later ones are the user's.
    if (InstalledVersion() >= 3600) TSetupHelper::ExcludeFolder(deletion_list, dest + u"Plugins\\");
    for (const StringView folder : FoldersKeptOnUpdate) {
      TSetupHelper::ExcludeFolder(deletion_list, dest + String(folder));
    }
  }
  AddOldBackups(deletion_list, backup_folder, written);
  AddObsoleteFiles(deletion_list);
  AddFilesBeingInstalled(deletion_list);
  RemoveDuplicates(deletion_list);
  if (HasOption(ioUpdate)) KeepInstalledConfiguration(deletion_list, dest);

  RunTasks(deletion_list);

  SetStatus(GetCommonText(u"A3"));
  DeleteFiles(deletion_list);
}

void TInstallerActionPrepare::FindProfiles() {
  const auto add_when_installed = [this](StringView name, const TVYNUserAccountInfo* account) {
    auto profile = std::make_unique<TInstallerProfileInfo>();
    profile->Name = String(name);
    profile->NewPath = TInstallerProfileHelper::GetNewProfilePath(account);
    profile->OldPath = TInstallerProfileHelper::GetInstalledProfilePath(account);
    if (platform::FolderExists(profile->OldPath)) profiles_.Add(std::move(profile));
  };
  if (HasOption(ioPortable)) {
    add_when_installed(u"SingleUser", nullptr);
    return;
  }
  const std::unique_ptr<TVYNUserAccountInfoList> accounts = TVYNUserAccounts::CreateList();
  for (size_t i = 0; i < accounts->Count(); ++i) {
    add_when_installed((*accounts)[i].UserName, &(*accounts)[i]);
  }
}

void TInstallerActionPrepare::CreateTasks() {
  if (!HasOption(ioPortable) && (!HasOption(ioUpdate) || InstalledVersion() < 4000)) {
    tasks_.push_back(std::make_unique<TInstallerUpdateTaskRemoveShellMenu>());
    tasks_.push_back(std::make_unique<TInstallerUpdateTaskRemoveUninstallInfo>());
    tasks_.push_back(std::make_unique<TInstallerUpdateTaskRemoveShortcuts>());
  }
  if (HasOption(ioUpdate)) {
    for (int i = 0; i < profiles_.Count(); ++i) {
      tasks_.push_back(std::make_unique<TInstallerUpdateTaskUpdateConfigs>(profiles_.Items(i)));
    }
  }
}

void TInstallerActionPrepare::StepDone() {
  ++done_;
  SetProgress(static_cast<int>(std::nearbyint(done_ * 100.0 / total_)));
}

String TInstallerActionPrepare::WriteArchive(const TInstallerFileList& list,
                                             const String& backup_folder) {
  SetStatus(GetCommonText(u"A1"));
  if (list.Count() == 0) return {};

  uint64_t total_size = 0;
  for (int i = 0; i < list.Count(); ++i) total_size += list.Items(i).Size;
  if (total_size >= BackupSizeLimit) throw EInstallerBackupError(u"Too many files for backup");

  MakeDirectory(backup_folder);
  const String archive_name = BackupArchiveName(backup_folder);
  // Written under a temporary name and given its own only once complete: a run cut short (a
  // power cut, the process killed) must not leave a broken archive that passes for a backup
  // and, among the archives kept, pushes out a complete older one. The next run removes such a
  // leftover (AddOldBackups).
  const String partial_name = UnfinishedArchiveName(archive_name);
  auto archive = std::make_unique<TZipWriter>(partial_name);

  // An archive that lacks files must not stay, for the same reason.
  const auto discard = [&archive, &partial_name] {
    archive.reset();
    static_cast<void>(platform::RemoveFile(partial_name));
  };
  for (int i = 0; i < list.Count(); ++i) {
    const TInstallerFileList::TItem& item = list.Items(i);
    try {
      archive->AddFile(item.FileName, item.ArchiveName);
    } catch (const Exception& error) {
      const uint32_t os_error = platform::GetLastOSError();
      discard();
      throw EInstallerBackupError(
          FormatText(u"An error occurs while backuping the \"%s\" file (%d)\r\n%s",
                     {item.FileName, Decimal(item.Size), error.Message()}) +
          SystemReasonLine(os_error));
    }
    StepDone();
  }
  try {
    archive->Close();
  } catch (const Exception& error) {
    const uint32_t os_error = platform::GetLastOSError();
    discard();
    throw EInstallerBackupError(
        FormatText(u"Cannot complete the backup \"%s\"\r\n%s", {archive_name, error.Message()}) +
        SystemReasonLine(os_error));
  }
  archive.reset();
  if (!platform::MoveFileReplacing(partial_name, archive_name)) {
    const uint32_t os_error = platform::GetLastOSError();
    discard();
    throw EInstallerBackupError(FormatText(u"Cannot complete the backup \"%s\"", {archive_name}) +
                                SystemReasonLine(os_error));
  }
  // The record of the run names the archive itself, not only the name it was written under.
  platform::ReportChange(platform::Change::FileWritten, archive_name);
  return archive_name;
}

void TInstallerActionPrepare::AddOldBackups(TVYNStringList& list, const String& backup_folder,
                                            const String& written) {
  std::vector<platform::FolderEntry> entries;
  if (!platform::ListFolder(backup_folder, entries)) return;
  TVYNStringList archives;
  for (const platform::FolderEntry& entry : entries) {
    if (entry.IsFolder) continue;
    // What a run cut short while saving left behind: never a backup, always deleted.
    if (IsUnfinishedArchiveName(entry.Name)) {
      list.Add(backup_folder + entry.Name);
      continue;
    }
    if (!SameName(platform::ExtractFileExt(entry.Name), u".zip")) continue;
    // This run's archive is kept whatever its name sorts as (a version "10.0" sorts before
    // "9.0"); the others compete for the remaining places.
    if (!written.empty() && SameName(backup_folder + entry.Name, written)) continue;
    archives.Add(entry.Name);
  }
  archives.Sort();
  const int kept = written.empty() ? BackupsKept : BackupsKept - 1;
  for (int i = 0; i < archives.Count() - kept; ++i) list.Add(backup_folder + archives.Items(i));
}

void TInstallerActionPrepare::AddObsoleteFiles(TVYNStringList& list) const {
  String system_folder;
  if (platform::GetShellFolder(platform::ShellFolder::System, system_folder)) {
    const String library = platform::IncludeTrailingPathDelimiter(system_folder) + u"OptimFROG.dll";
    if (platform::FileExists(library)) list.Add(library);
  }
  const int32_t version = InstalledVersion();
  for (const ObsoletePlugin& plugin : ObsoletePlugins) {
    if (version >= plugin.Before) continue;
    TSetupHelper::FindFiles(Installer->DestPath() + String(plugin.Folder), u"",
                            [&list](const String& path, uint64_t) { list.Add(path); });
  }
}

void TInstallerActionPrepare::AddFilesBeingInstalled(TVYNStringList& list) const {
  // Every language's files: a file of another language left from before would be stale.
  const TInstallerScriptGroup& components = Script().Components;
  for (int i = 0; i < components.Count(); ++i) {
    list.Add(Resources().ExpandPath(components.Items(i).Name));
  }
}

void TInstallerActionPrepare::KeepInstalledConfiguration(TVYNStringList& list, const String& dest) {
  // The file that tells which version is installed, as the product information chose it.
  const String config =
      platform::FileExists(dest + u"ZELO.ini") ? dest + u"ZELO.ini" : dest + u"ZELO3.ini";
  for (int i = list.Count() - 1; i >= 0; --i) {
    if (SameName(list.Items(i), config)) list.Delete(i);
  }
}

void TInstallerActionPrepare::RunTasks(TVYNStringList& list) {
  SetStatus(GetCommonText(u"A5"));
  for (const std::unique_ptr<TInstallerUpdateTask>& task : tasks_) {
    ++done_;
    task->Execute(&list);
    SetProgress(static_cast<int>(std::nearbyint(done_ * 100.0 / total_)));
  }
}

void TInstallerActionPrepare::DeleteFiles(const TVYNStringList& list) {
  TVYNStringList folders;
  for (int i = 0; i < list.Count(); ++i) {
    // A file that can be neither deleted nor moved stays; the extraction deals with it.
    try {
      // The old program still runs somewhere; only the restart completes the update.
      if (TSetupHelper::RemoveFile(list.Items(i))) Installer->NoteRestartNeeded();
    } catch (const Exception&) {
    }
    folders.Add(platform::ExtractFilePath(list.Items(i)));
  }
  RemoveDuplicates(folders);
  // A folder sorts before everything inside it, so going backwards empties children first.
  folders.Sort();
  for (int i = folders.Count() - 1; i >= 0; --i) TSetupHelper::RemoveFolder(folders.Items(i), true);
}
