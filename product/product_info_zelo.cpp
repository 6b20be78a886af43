// The player's product information.
#include "product/product_info_zelo.h"

#include "core/installer.h"
#include "core/installer_application_repository.h"
#include "core/installer_resources.h"
#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/system.h"
#include "platform/top_level_windows.h"
#include "product/product_actions.h"
#include "support/names.h"

namespace {

constexpr int32_t FirstUpdatableVersion = 3500;
constexpr int32_t LastUpdatableVersion = 5099;

}  // namespace

String TProductInfoZELO::GetDefaultPath() const {
  String path;
  if (FindInstalledPath(path)) return path;
  return TInstallerProductInfo::GetDefaultPath();
}

bool TProductInfoZELO::CanUpdate() const {
  const int32_t version = GetInstalledVersion();
  return version >= FirstUpdatableVersion && version <= LastUpdatableVersion;
}

bool TProductInfoZELO::IsPortable() const {
  return !installed_config_.ReadBool(u"System", u"UserMode", true);
}

int32_t TProductInfoZELO::GetInstalledVersion() const {
  return installed_config_.ReadInteger(u"System", u"Version", 0);
}

void TProductInfoZELO::LoadInstalledInfo() {
  const String& destination = Installer->DestPath();
  String path;
  if (platform::FileExists(destination + u"ZELO.ini")) {
    path = destination + u"ZELO.ini";
  } else if (platform::FileExists(destination + u"ZELO3.ini")) {
    path = destination + u"ZELO3.ini";
  }
  installed_config_.Clear();
  if (!path.empty()) installed_config_.LoadFromFile(path);
  // The choices of the installation found become the choices this run shows and applies.
  Installer->OptionStore().WriteSectionText(u"Integration",
                                            installed_config_.ReadSectionText(u"Integration"));
}

std::vector<TZELOActionKind> TProductInfoZELO::ActionKinds() const {
  std::vector<TZELOActionKind> kinds = {TZELOActionKind::CloseApplications};
  if (Installer->Mode() == imUninstall) {
    kinds.push_back(TZELOActionKind::UninstallIntegration);
    kinds.push_back(TZELOActionKind::UninstallFiles);
    return kinds;
  }
  const bool update = Installer->HasOption(ioUpdate);
  const bool portable = Installer->HasOption(ioPortable);
  kinds.push_back(TZELOActionKind::Prepare);
  if (IsAddonsPageEnabled()) kinds.push_back(TZELOActionKind::AddonsInstall);
  kinds.push_back(TZELOActionKind::Extract);
  kinds.push_back(TZELOActionKind::Config);
  if (!update && !portable) kinds.push_back(TZELOActionKind::Integrate);
  if (!update) kinds.push_back(TZELOActionKind::Shortcuts);
  // Older systems learn about new associations without being told.
  if (platform::GetWindowsVersion().Major >= 10) {
    kinds.push_back(TZELOActionKind::UpdateShellCache);
  }
  return kinds;
}

void TProductInfoZELO::PopulateActions(const TInstallerPopulateActionsCallback& callback) const {
  for (const TZELOActionKind kind : ActionKinds()) {
    if (const TInstallerActionClass* action_class = ZELOActionClass(kind)) callback(*action_class);
  }
}

void TProductInfoZELO::PopulatePages(const TInstallerPopulatePagesCallback& callback) const {
  if (Installer->Mode() == imUninstall) {
    callback(u"TInstallerPageUninstallParams");
    return;
  }
  callback(u"TInstallerPageWelcome");
  callback(u"TInstallerPageLicense");
  callback(u"TInstallerPageSetup");
  if (IsAddonsPageEnabled()) callback(u"TInstallerPageAddons");
  callback(u"TInstallerPageIntegration");
  callback(u"TInstallerPageReadyToInstall");
}

bool TProductInfoZELO::FindInstalledPath(String& path) {
  for (const StringView key : {StringView(u"ZELO"), StringView(u"ZELO3")}) {
    if (TInstallerApplicationRepository::GetInstallPath(key, path)) return true;
  }
  // A running player tells where it lives.
  const platform::NativeWindow window = platform::FindTopLevelWindow(u"TZELOMainForm");
  uint32_t process_id = 0;
  String executable;
  if (window != nullptr && platform::GetWindowProcessId(window, process_id) &&
      platform::GetProcessExecutablePath(process_id, executable)) {
    path = platform::ExtractFilePath(executable);
    return true;
  }
  return false;
}

bool IsAddonsPageEnabled() {
  return !Installer->HasOption(ioAuto) && !Installer->HasOption(ioSilent) &&
         SameName(Installer->Resources().LanguageName(), u"Russian");
}

void RegisterProductZELO() {
  ProductInfoClass = &CreateProductInfo<TProductInfoZELO>;
}
