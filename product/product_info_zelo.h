// The player's own product information: where an existing installation is, what its
// configuration file says (version, portable or per user, integration choices), and which
// actions and wizard pages each mode has.
#pragma once

#include <vector>

#include "core/installer_product_info.h"
#include "support/ini_file.h"

// The steps a run can have, in run order. The product decides which of them a run takes; each
// maps to its action class.
enum class TZELOActionKind {
  CloseApplications,
  Prepare,
  AddonsInstall,
  Extract,
  Config,
  Integrate,
  Shortcuts,
  UpdateShellCache,
  UninstallIntegration,
  UninstallFiles,
};

class TProductInfoZELO : public TInstallerProductInfo {
 public:
  String GetDefaultPath() const override;
  // Versions 3.50 to 5.09 can be updated in place.
  bool CanUpdate() const override;
  // "System"/"UserMode" 0; a missing file or key counts as not portable.
  bool IsPortable() const override;
  int32_t GetInstalledVersion() const override;
  // Reloads the configuration at the destination ("ZELO.ini", else "ZELO3.ini") and takes its
  // "Integration" section into the option store, replacing what was there.
  void LoadInstalledInfo() override;
  void PopulateActions(const TInstallerPopulateActionsCallback& callback) const override;
  void PopulatePages(const TInstallerPopulatePagesCallback& callback) const override;

  // The steps of the current mode and options, in run order.
  std::vector<TZELOActionKind> ActionKinds() const;
  // The folder of an existing installation, with a trailing backslash: from the uninstall
  // registration ("ZELO", then "ZELO3"), else from a running player's executable.
  static bool FindInstalledPath(String& path);

  const TVYNIniFile& InstalledConfig() const { return installed_config_; }

 private:
  TVYNIniFile installed_config_;
};

// The add-ons page's rule, which the action list follows too: offered only to interactive runs
// in Russian.
bool IsAddonsPageEnabled();

// Makes the player the product of this program (ProductInfoClass).
void RegisterProductZELO();
