// Special folders of the host double: Wine's folders for the double's user, unless a test moved
// one or made it fail.
#include <map>
#include <mutex>
#include <optional>

#include "platform/environment.h"
#include "platform/host_double.h"
#include "platform/host_temp_folder_posix.h"
#include "platform/os_error.h"
#include "platform/shell_folders.h"

namespace platform {

namespace {

std::mutex shell_folders_mutex;
// A folder without a value fails, as one the shell cannot resolve.
std::map<ShellFolder, std::optional<String>> changed_folders;

String DefaultFolder(ShellFolder folder) {
  String user;
  // The double always knows its user.
  static_cast<void>(GetCurrentUserName(user));
  const String profile = u"C:\\users\\" + user;
  const String start_menu = profile + u"\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu";
  switch (folder) {
    case ShellFolder::CommonDesktop: return u"C:\\users\\Public\\Desktop";
    case ShellFolder::CommonPrograms:
      return u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";
    case ShellFolder::ProgramFiles: return u"C:\\Program Files";
    case ShellFolder::Desktop: return profile + u"\\Desktop";
    case ShellFolder::StartMenu: return start_menu;
    case ShellFolder::Programs: return start_menu + u"\\Programs";
    case ShellFolder::AppData: return profile + u"\\AppData\\Roaming";
    case ShellFolder::LocalAppData: return profile + u"\\AppData\\Local";
    case ShellFolder::Profile: return profile;
    case ShellFolder::CommonStartMenu: return u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu";
    case ShellFolder::System: return u"C:\\windows\\system32";
  }
  return profile;
}

// The value of an environment variable, if it is set.
std::optional<String> Variable(StringView name) {
  const String reference = u"%" + String(name) + u"%";
  String value;
  if (!ExpandEnvironmentText(reference, value) || value == reference) return std::nullopt;
  return value;
}

}  // namespace

bool GetShellFolder(ShellFolder folder, String& path) {
  {
    std::lock_guard lock(shell_folders_mutex);
    const auto changed = changed_folders.find(folder);
    if (changed != changed_folders.end()) {
      if (!changed->second) {
        SetLastOSError(ErrorFileNotFound);
        return false;
      }
      path = *changed->second;
      return true;
    }
  }
  path = DefaultFolder(folder);
  return true;
}

bool GetTempFolder(String& path) {
  if (HostTempFolderFails()) {
    SetLastOSError(ErrorPathNotFound);
    return false;
  }
  // The order in which GetTempPathW looks for the folder.
  std::optional<String> folder = Variable(u"TMP");
  if (!folder) folder = Variable(u"TEMP");
  if (!folder) folder = Variable(u"USERPROFILE");
  path = folder ? *folder : u"C:\\windows";
  if (!path.ends_with(u'\\')) path += u'\\';
  return true;
}

void HostDouble::SetShellFolder(ShellFolder folder, StringView path) {
  std::lock_guard lock(shell_folders_mutex);
  changed_folders[folder] = String(path);
}

void HostDouble::FailShellFolder(ShellFolder folder) {
  std::lock_guard lock(shell_folders_mutex);
  changed_folders[folder] = std::nullopt;
}

void HostDouble::ResetShellFolders() {
  std::lock_guard lock(shell_folders_mutex);
  changed_folders.clear();
}

}  // namespace platform
