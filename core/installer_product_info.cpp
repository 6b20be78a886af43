// The product information base.
#include "core/installer_product_info.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "core/installer.h"
#include "core/installer_errors.h"
#include "core/installer_resources.h"
#include "platform/file_name.h"
#include "platform/shell_folders.h"

TInstallerProductInfoClass ProductInfoClass = nullptr;

String TInstallerProductInfo::GetSetting(StringView name) const {
  return Installer->Resources().Script().GetSetting(name);
}

String TInstallerProductInfo::GetDefaultPath() const {
  return Installer->Resources().ProgramFilesFolder() + GetName() + u"\\";
}

String TInstallerProductInfo::GetDefaultPortablePath() const {
  String desktop;
  if (!platform::GetShellFolder(platform::ShellFolder::Desktop, desktop)) {
    desktop = platform::TemporaryFolder();
  }
  return platform::IncludeTrailingPathDelimiter(desktop) + GetName() + u"\\";
}

String TInstallerProductInfo::GetHomePage() const {
  return GetSetting(u"HomePage");
}

String TInstallerProductInfo::GetName() const {
  String name = GetSetting(u"ProductName");
  if (name.empty()) throw EInstallerGeneralError(u"TInstallerProductInfo.GetName");
  return name;
}

String TInstallerProductInfo::GetPublisher() const {
  return GetSetting(u"Publisher");
}

String TInstallerProductInfo::GetVersion() const {
  return GetSetting(u"ProductVersion");
}

int32_t TInstallerProductInfo::GetVersionId() const {
  const std::string digits = StringToUtf8(GetSetting(u"ProductVersionId"));
  int32_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size()) return 0;
  return value;
}

String TInstallerProductInfo::GetFullVersion() const {
  return GetVersion() + u", " + GetSetting(u"BuildDate");
}

String TInstallerProductInfo::GetInstalledVersionText() const {
  // A damaged configuration could hold a negative number; it reads as no version at all.
  const int32_t version = std::max(GetInstalledVersion(), 0);
  const int32_t hundredths = version % 1000 / 10;
  return Utf8ToString(std::to_string(version / 1000)) + u"." + (hundredths < 10 ? u"0" : u"") +
         Utf8ToString(std::to_string(hundredths));
}

String TInstallerProductInfo::GetVersionNo() const {
  return GetSetting(u"ProductVersionNo");
}
