#include "ui/setup_page_rules.h"

#include "core/installer_action_extract.h"
#include "core/installer_path.h"
#include "core/installer_product_info.h"
#include "core/installer_resources.h"
#include "platform/file_name.h"
#include "support/format_text.h"
#include "support/names.h"

String GetDestinationProblem(StringView destination,
                             const std::function<bool(StringView folder)>& folder_exists) {
  if (destination.empty()) return String();  // nothing typed yet: Next is off, nothing to say
  if (String error = DestPathError(destination); !error.empty()) return error;
  // The files the script puts in the folder must fit too; the run refuses them only once it
  // starts, which is too late for the page that can still change the folder.
  if (Installer != nullptr) {
    if (String error = TInstallerActionExtract::DestinationLengthProblem(
            Installer->Resources().Script(), destination);
        !error.empty()) {
      return error;
    }
  }
  // "X:\…": the drive must be there. A network share is asked only when the run writes to it.
  if (destination.size() >= 3 && destination[1] == u':' && destination[2] == u'\\') {
    const String root(destination.substr(0, 3));
    if (!folder_exists(root)) {
      return FormatText(u"The drive %s does not exist: choose a folder on another drive.",
                        {root.substr(0, 2)});
    }
  }
  return String();
}

bool NeedsInstallWarning(TInstaller& installer, const TFindInstalledPath& find_installed) {
  if (installer.HasOption(ioUpdate)) return false;
  // A settings file with a version in the destination: an installation this run replaces.
  if (installer.ProductInfo().GetInstalledVersion() >= 1) return true;
  if (installer.HasOption(ioPortable)) return false;
  return find_installed && find_installed();
}

TSetupPageState GetSetupPageState(TInstaller& installer, const TFindInstalledPath& find_installed) {
  TSetupPageState state;
  const bool update = installer.HasOption(ioUpdate);
  state.Destination = installer.DestPath();
  state.UpdateChecked = update;
  state.UpdateVisible = installer.ProductInfo().CanUpdate();
  state.BackupChecked = !installer.HasOption(ioNoBackup);
  state.BackupVisible = update;
  const bool portable =
      update ? installer.ProductInfo().IsPortable() : installer.HasOption(ioPortable);
  state.Portable = portable && !installer.IsDestPathProtected();
  state.ModeEnabled = !update;
  if (update) {
    state.WarningKey = u"W1";
  } else if (NeedsInstallWarning(installer, find_installed)) {
    state.WarningKey = u"W3";
  }
  return state;
}

String GetBrowsedDestination(StringView folder, StringView product_name) {
  const String chosen = platform::IncludeTrailingPathDelimiter(folder);
  const String last_name =
      platform::ExtractFileName(platform::ExcludeTrailingPathDelimiter(chosen));
  if (SameName(last_name, product_name)) return chosen;
  return chosen + String(product_name);
}

std::optional<String> GetDestinationForMode(TInstaller& installer, bool portable) {
  const TInstallerProductInfo& product = installer.ProductInfo();
  if (portable && installer.IsDestPathProtected()) return product.GetDefaultPortablePath();
  if (!portable && SameName(installer.DestPath(), product.GetDefaultPortablePath())) {
    return product.GetDefaultPath();
  }
  return std::nullopt;
}
