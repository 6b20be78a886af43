// The product's entry among the system's installed programs.
#include "core/installer_application_repository.h"

#include <cstdio>

#include "platform/clock.h"
#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/registry.h"

namespace {

using platform::RegistryAccess;
using platform::RegistryKey;
using platform::RegistryRoot;

constexpr char16_t UninstallKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Room for a subkey name while the tree is deleted; a longer name is passed over, and the key
// above it then stays.
constexpr size_t SubkeyNameRoom = 64;

String KeyNameOf(StringView display_name) {
  String name;
  for (const char16_t c : display_name) {
    if (c != u' ') name += c;
  }
  return name;
}

String Today() {
  const platform::LocalTime now = platform::GetCurrentLocalTime();
  char text[16];
  std::snprintf(text, sizeof(text), "%04u%02u%02u", now.Year, now.Month, now.Day);
  return Utf8ToString(text);
}

// A text value, or empty when it is missing or of another type.
String TextValue(const RegistryKey& key, StringView name) {
  String text;
  return key.ReadText(name, text) ? text : String();
}

bool DeleteTree(const String& path) {
  {
    const RegistryKey key =
        RegistryKey::Open(RegistryRoot::LocalMachine, path, RegistryAccess::Read);
    uint32_t count = 0;
    if (key.IsOpen() && key.GetSubkeyCount(count)) {
      // From the last index down, so that deleting a subkey leaves the indexes still to visit
      // where they were.
      for (uint32_t index = count; index-- > 0;) {
        String name;
        if (key.GetSubkeyName(index, SubkeyNameRoom, name)) {
          // A subkey that stays makes the final deletion below fail, which is what reports it.
          static_cast<void>(DeleteTree(path + u"\\" + name));
        }
      }
    }
  }
  return RegistryKey::Delete(RegistryRoot::LocalMachine, path);
}

}  // namespace

bool TInstallerApplicationRepository::Register(StringView display_name, StringView uninstaller_path,
                                               StringView version, StringView publisher,
                                               StringView home_page) {
  const String key_name = KeyNameOf(display_name);
  if (key_name.empty()) return false;
  const String path = UninstallKey + key_name;
  RegistryKey key = RegistryKey::Open(RegistryRoot::LocalMachine, path, RegistryAccess::ReadWrite);
  if (!key.IsOpen()) key = RegistryKey::Create(RegistryRoot::LocalMachine, path);
  if (!key.IsOpen()) return false;
  // A value that cannot be written is passed over; the entry is still usable without it.
  static_cast<void>(key.WriteDword(u"NoModify", 1));
  static_cast<void>(key.WriteDword(u"NoRepair", 1));
  static_cast<void>(key.WriteText(u"DisplayIcon", uninstaller_path));
  static_cast<void>(key.WriteText(u"DisplayName", display_name));
  static_cast<void>(key.WriteText(u"DisplayVersion", version));
  static_cast<void>(key.WriteText(u"InstallDate", Today()));
  static_cast<void>(key.WriteText(u"InstallPath", platform::ExtractFilePath(uninstaller_path)));
  static_cast<void>(key.WriteText(u"Publisher", publisher));
  // The system runs this as a command line: unquoted, a path with blanks would first be tried
  // as a shorter program name ("D:\My.exe" for "D:\My Apps\...\Uninstall.exe"), which anyone
  // able to write there could plant and have run with administrator rights.
  static_cast<void>(key.WriteText(u"UninstallString", u"\"" + String(uninstaller_path) + u"\""));
  static_cast<void>(key.WriteText(u"URLInfoAbout", home_page));
  return true;
}

bool TInstallerApplicationRepository::RegisterDeploymentValues(StringView display_name,
                                                               StringView uninstaller_path,
                                                               uint32_t estimated_size_kib,
                                                               StringView icon_path) {
  const String key_name = KeyNameOf(display_name);
  if (key_name.empty()) return false;
  RegistryKey key = RegistryKey::Open(RegistryRoot::LocalMachine, UninstallKey + key_name,
                                      RegistryAccess::ReadWrite);
  if (!key.IsOpen()) return false;
  // Boxes suppressed too: a deployment tool runs this unattended and waits for the exit code.
  static_cast<void>(
      key.WriteText(u"QuietUninstallString",
                    u"\"" + String(uninstaller_path) + u"\" /AUTO /SILENT /SUPPRESSMSGBOXES"));
  static_cast<void>(key.WriteDword(u"EstimatedSize", estimated_size_kib));
  static_cast<void>(key.WriteText(u"InstallLocation", platform::ExtractFilePath(uninstaller_path)));
  static_cast<void>(key.WriteText(u"DisplayIcon", icon_path));
  return true;
}

bool TInstallerApplicationRepository::GetInstallPath(StringView key_name, String& path) {
  path.clear();
  const RegistryKey key = RegistryKey::Open(RegistryRoot::LocalMachine,
                                            UninstallKey + String(key_name), RegistryAccess::Read);
  if (!key.IsOpen()) return false;
  path = platform::IncludeTrailingPathDelimiter(TextValue(key, u"InstallPath"));
  if (!platform::FolderExists(path))
    path = platform::ExtractFilePath(TextValue(key, u"UninstallString"));
  if (!platform::FolderExists(path))
    path = platform::ExtractFilePath(TextValue(key, u"DisplayIcon"));
  return platform::FolderExists(path);
}

bool TInstallerApplicationRepository::Unregister(StringView display_name) {
  const String key_name = KeyNameOf(display_name);
  if (key_name.empty()) return false;
  return DeleteTree(UninstallKey + key_name);
}
