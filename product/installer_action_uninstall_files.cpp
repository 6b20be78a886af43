// Removing the installed files and folders.
#include "product/installer_action_uninstall_files.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <unordered_set>

#include "core/installer.h"
#include "core/installer_resources.h"
#include "platform/exception.h"
#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/shell_folders.h"
#include "product/installer_profile.h"
#include "product/setup_helper.h"
#include "product/user_accounts.h"
#include "support/ini_file.h"
#include "support/ini_file_section.h"
#include "support/memory_stream.h"
#include "support/names.h"

namespace {

char16_t AsciiUpper(char16_t c) {
  return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

// Characters no file name holds; ":" also opens an alternate data stream or names a drive.
bool IsForbiddenCharacter(char16_t c) {
  return c < 32 || c == u'<' || c == u'>' || c == u'"' || c == u'|' || c == u'?' || c == u'*' ||
         c == u':';
}

// A key that is the same for names that differ only in ASCII letter case.
String FoldedKey(StringView path) {
  String key(path);
  for (char16_t& c : key) c = AsciiUpper(c);
  return key;
}

// Folders that are never deleted as a whole, whatever the installation folder or a profile path
// turns out to be: a root, and the system's and the users' own folders.
bool IsProtectedFolder(StringView path) {
  if (!platform::IsAbsolutePath(path) || platform::IsRootPath(path)) return true;
  const String folder = platform::IncludeTrailingPathDelimiter(path);
  using platform::ShellFolder;
  for (const ShellFolder shell_folder :
       {ShellFolder::CommonDesktop, ShellFolder::CommonPrograms, ShellFolder::ProgramFiles,
        ShellFolder::Desktop, ShellFolder::StartMenu, ShellFolder::Programs, ShellFolder::AppData,
        ShellFolder::LocalAppData, ShellFolder::Profile, ShellFolder::CommonStartMenu,
        ShellFolder::System}) {
    String known;
    if (!platform::GetShellFolder(shell_folder, known) || known.empty()) continue;
    known = platform::IncludeTrailingPathDelimiter(known);
    // The folder that holds it too: "C:\Windows\" above the system folder, "C:\Users\" above
    // the profile.
    const String parent = platform::ExtractFilePath(platform::ExcludeTrailingPathDelimiter(known));
    if (platform::SameFileName(folder, known) || platform::SameFileName(folder, parent)) {
      return true;
    }
  }
  return false;
}

// The entry an "Uninstall" key stands for when it is an index as the installer writes it
// (decimal digits, no leading zero) below Count; -1 for any other key.
int32_t EntryIndex(StringView key, int32_t count) {
  if (key.empty() || key.size() > 10 || (key.size() > 1 && key.front() == u'0')) return -1;
  int64_t index = 0;
  for (const char16_t c : key) {
    if (c < u'0' || c > u'9') return -1;
    index = index * 10 + (c - u'0');
  }
  return index < count ? static_cast<int32_t>(index) : -1;
}

// Appends the subfolders of Folder, at any depth, each after its own subfolders.
void AddSubfoldersDeepestFirst(const String& folder,
                               std::vector<TInstallerActionUninstallFiles::TFolderItem>& list) {
  std::vector<platform::FolderEntry> entries;
  if (!platform::ListFolder(folder, entries)) return;
  for (const platform::FolderEntry& entry : entries) {
    if (!entry.IsFolder) continue;
    const String subfolder = folder + entry.Name + u"\\";
    AddSubfoldersDeepestFirst(subfolder, list);
    list.push_back({subfolder, false});
  }
}

}  // namespace

bool TInstallerActionUninstallFiles::ResolveEntry(StringView folder, StringView entry,
                                                  String& path) {
  path.clear();
  if (!platform::IsAbsolutePath(folder) || folder.back() != u'\\') return false;
  // Rooted ("\x"), network ("\\server"), device and long-path forms ("\\.\", "\\?\").
  if (entry.empty() || entry.front() == u'\\' || entry.front() == u'/') return false;

  std::vector<StringView> components;
  size_t start = 0;
  while (start <= entry.size()) {
    size_t end = entry.find_first_of(u"\\/", start);
    if (end == StringView::npos) end = entry.size();
    const StringView component = entry.substr(start, end - start);
    start = end + 1;
    if (component.empty() || component == u".") continue;
    if (component == u"..") {
      if (components.empty()) return false;
      components.pop_back();
      continue;
    }
    for (const char16_t c : component) {
      if (IsForbiddenCharacter(c)) return false;
    }
    // The system trims these ("..." or ".. " would become a way out), and ExpandPath never
    // writes such a name.
    if (component.back() == u'.' || component.back() == u' ') return false;
    if (IsDeviceName(component)) return false;
    components.push_back(component);
  }
  if (components.empty()) return false;

  path = String(folder);
  for (size_t i = 0; i < components.size(); ++i) {
    if (i > 0) path.push_back(u'\\');
    path += components[i];
  }
  return true;
}

std::vector<TInstallerActionUninstallFiles::TFolderItem>
TInstallerActionUninstallFiles::CreateFolderList() const {
  std::vector<TFolderItem> list;
  const String& folder = Installer->DestPath();
  if (!platform::IsAbsolutePath(folder)) return list;
  AddSubfoldersDeepestFirst(folder, list);

  const TVYNIniFile& options = OptionStore();
  const bool remove_backups =
      options.ReadBool(u"Common", u"RemoveBackups", Installer->HasOption(ioAuto));
  const bool remove_content = options.ReadBool(u"Common", u"RemoveContent", false);
  auto add_tree = [&list](const String& path) {
    if (!IsProtectedFolder(path)) list.push_back({path, true});
  };
  if (remove_backups) add_tree(folder + u"!Backup\\");
  if (remove_content) {
    add_tree(remove_backups ? folder : folder + u"Profile\\");
    const TVYNIniFile config(folder + u"ZELO.ini");
    if (config.ReadBool(u"System", u"UserMode", false)) {
      const std::unique_ptr<TVYNUserAccountInfoList> accounts = TVYNUserAccounts::CreateList();
      for (size_t i = 0; i < accounts->Count(); ++i) {
        const TVYNUserAccountInfo& account = (*accounts)[i];
        const String profile = TInstallerProfileHelper::GetNewProfilePath(&account);
        // A profile is the player's folder inside the user's application data, never that
        // folder itself nor anything beside it.
        if (platform::IsPathInFolder(profile, account.AppDataPath)) add_tree(profile);
      }
    }
  }
  return list;
}

std::vector<String> TInstallerActionUninstallFiles::CreateFileList() const {
  TVYNIniFile data;
  data.LoadFromStream(*Resources().GetStream(u"Uninstall.ini"));
  return ReadFileList(data, Installer->DestPath());
}

std::vector<String> TInstallerActionUninstallFiles::ReadFileList(const TVYNIniFile& data,
                                                                 StringView folder) {
  std::vector<String> list;
  const TVYNIniFileSection* section = data.FindSection(u"Uninstall");
  if (section == nullptr) return list;
  const int32_t count = data.ReadInteger(u"Uninstall", u"Count", 0);
  // Walking the lines rather than the numbers up to Count: the file is the user's to edit, and
  // a "Count" of two thousand million would otherwise keep the uninstaller busy for hours.
  // Of several lines with one key the first counts, as it does for a lookup by key.
  std::map<int32_t, int> lines;
  for (int line = 0; line < section->Count(); ++line) {
    const int32_t index = EntryIndex(section->Names(line), count);
    if (index >= 0) lines.emplace(index, line);
  }
  std::unordered_set<String> listed;
  for (const auto& [index, line] : lines) {
    String path;
    if (!ResolveEntry(folder, section->ValueFromIndex(line), path)) continue;
    if (listed.insert(FoldedKey(path)).second) list.push_back(std::move(path));
  }
  return list;
}

void TInstallerActionUninstallFiles::Execute() {
  const std::vector<TFolderItem> folders = CreateFolderList();
  std::vector<String> files = CreateFileList();
  SetStatus(GetCommonText(u"A9"));
  const size_t total = files.size() + folders.size();
  // The uninstaller that handed over to this copy still runs until it has the result: moved
  // aside, it is the uninstallation's own leftover in the temporary folder, like the copy, and
  // no reason to ask for a restart.
  const String running_uninstaller =
      Installer->DestPath() + platform::ExtractFileName(platform::GetProgramFileName());
  // The uninstaller and its data go last, after the folders: an uninstallation cut short (the
  // process killed, a power cut) leaves them in place as long as anything else is left, so
  // that starting the uninstaller again finishes the job.
  const String uninstall_data = platform::ChangeFileExt(running_uninstaller, u".dat");
  const auto own = std::stable_partition(files.begin(), files.end(), [&](const String& file) {
    return !SameName(file, running_uninstaller) && !SameName(file, uninstall_data);
  });
  const std::vector<String> own_files(own, files.end());
  files.erase(own, files.end());
  size_t done = 0;
  const auto remove_file = [&](const String& file) {
    ++done;
    // An entry that names a folder deletes nothing: moving a folder aside as if it were a file
    // in use would take everything in it along.
    if (!platform::FolderExists(file)) {
      try {
        if (TSetupHelper::RemoveFile(file) && !SameName(file, running_uninstaller)) {
          Installer->NoteRestartNeeded();
        }
      } catch (const Exception&) {
        // No temporary name for a file in use: it stays, and the rest still goes.
      }
    }
    SetProgress(static_cast<int>(100 * done / total));
  };
  const auto remove_folders = [&](bool whole_trees) {
    for (const TFolderItem& folder : folders) {
      if (folder.WholeTree != whole_trees) continue;
      ++done;
      TSetupHelper::RemoveFolder(folder.Path, !folder.WholeTree);
      SetProgress(static_cast<int>(100 * done / total));
    }
  };
  for (const String& file : files) remove_file(file);
  remove_folders(false);
  // Before the trees the user chose to remove, which may be the whole installation folder: the
  // running uninstaller can only be moved aside, not deleted with its folder's tree.
  for (const String& file : own_files) remove_file(file);
  remove_folders(true);
}
