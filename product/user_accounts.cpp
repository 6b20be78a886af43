// The user accounts of the machine.
#include "product/user_accounts.h"

#include <algorithm>

#include "platform/environment.h"
#include "platform/exception.h"
#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/shell_folders.h"
#include "support/names.h"

namespace {

using platform::RegistryAccess;
using platform::RegistryKey;
using platform::RegistryRoot;

constexpr char16_t ProfileListKey[] =
    u"Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr char16_t UserShellFoldersKey[] =
    u"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
// The settings every new account starts with; used for accounts whose own hive is not loaded
// (nobody is logged on as them).
constexpr char16_t DefaultUser[] = u".DEFAULT";
constexpr char16_t UserProfileReference[] = u"%USERPROFILE%";

// Profile list entries are named after the account's security identifier, at most 260
// characters here.
constexpr size_t SidRoom = 260;

String WithoutTrailingBackslashes(String path) {
  while (path.size() > 1 && (path.back() == u'\\' || path.back() == u'/')) path.pop_back();
  return path;
}

String ShellFolderOrTemp(platform::ShellFolder folder) {
  String path;
  if (platform::GetShellFolder(folder, path)) return path;
  return platform::TemporaryFolder();
}

// Every "%USERPROFILE%", in any letter case, replaced by the profile folder.
String ReplaceUserProfile(StringView text, StringView profile) {
  const StringView reference = UserProfileReference;
  String result;
  size_t position = 0;
  while (position < text.size()) {
    if (text.size() - position >= reference.size() &&
        SameName(text.substr(position, reference.size()), reference)) {
      result += profile;
      position += reference.size();
    } else {
      result += text[position++];
    }
  }
  return result;
}

RegistryKey OpenUserShellFolders(StringView sid) {
  RegistryKey key = RegistryKey::Open(RegistryRoot::Users, String(sid) + UserShellFoldersKey,
                                      RegistryAccess::Read);
  if (key.IsOpen()) return key;
  return RegistryKey::Open(RegistryRoot::Users, DefaultUser + String(UserShellFoldersKey),
                           RegistryAccess::Read);
}

void AddProfile(TVYNUserAccountInfoList& list, StringView sid) {
  // A ".bak" entry is the system's backup of a damaged profile's entry, not an account.
  if (SameName(platform::ExtractFileExt(sid), u".bak")) return;
  const RegistryKey entry = RegistryKey::Open(
      RegistryRoot::LocalMachine, ProfileListKey + (u"\\" + String(sid)), RegistryAccess::Read);
  String image_path;
  if (!entry.IsOpen() || !entry.ReadText(u"ProfileImagePath", image_path)) return;
  String profile;
  if (!platform::ExpandEnvironmentText(image_path, profile)) RaiseLastOSError();
  if (!platform::FolderExists(profile)) return;

  const RegistryKey shell_folders = OpenUserShellFolders(sid);
  String app_data;
  if (!shell_folders.IsOpen() || !shell_folders.ReadText(u"AppData", app_data)) return;
  // Read unexpanded: expanding here would give this process's profile, not the account's.
  profile = WithoutTrailingBackslashes(profile);
  app_data = ReplaceUserProfile(app_data, profile);
  if (app_data.empty()) return;

  auto account = std::make_unique<TVYNUserAccountInfo>();
  account->UserName = platform::ExtractFileName(profile);
  account->ProfilePath = platform::IncludeTrailingPathDelimiter(profile);
  account->AppDataPath = platform::IncludeTrailingPathDelimiter(app_data);
  list.Add(std::move(account));
}

}  // namespace

bool TVYNUserAccountInfoList::Add(std::unique_ptr<TVYNUserAccountInfo> account) {
  const bool listed = std::any_of(items_.begin(), items_.end(),
                                  [&](const auto& item) { return item->Equals(*account); });
  if (listed) return false;
  items_.push_back(std::move(account));
  return true;
}

void TVYNUserAccounts::Populate(TVYNUserAccountInfoList& list) {
  auto current = std::make_unique<TVYNUserAccountInfo>();
  if (!platform::GetCurrentUserName(current->UserName)) current->UserName.clear();
  current->ProfilePath =
      platform::IncludeTrailingPathDelimiter(ShellFolderOrTemp(platform::ShellFolder::Profile));
  current->AppDataPath =
      platform::IncludeTrailingPathDelimiter(ShellFolderOrTemp(platform::ShellFolder::AppData));
  list.Add(std::move(current));

  const RegistryKey profile_list =
      RegistryKey::Open(RegistryRoot::LocalMachine, ProfileListKey, RegistryAccess::Read);
  uint32_t count = 0;
  if (!profile_list.IsOpen() || !profile_list.GetSubkeyCount(count)) return;
  for (uint32_t index = 0; index < count; ++index) {
    String sid;
    if (profile_list.GetSubkeyName(index, SidRoom, sid)) AddProfile(list, sid);
  }
}

std::unique_ptr<TVYNUserAccountInfoList> TVYNUserAccounts::CreateList() {
  auto list = std::make_unique<TVYNUserAccountInfoList>();
  Populate(*list);
  return list;
}
