// Removing the player's integration with Windows.
#include "product/installer_action_uninstall_integration.h"

#include <cmath>

TInstallerActionUninstallIntegration::TInstallerActionUninstallIntegration() {
  tasks_.push_back(std::make_unique<TInstallerUpdateTaskRemoveShellMenu>());
  tasks_.push_back(std::make_unique<TInstallerUpdateTaskRemoveShortcuts>());
  tasks_.push_back(std::make_unique<TInstallerUpdateTaskRemoveFromRegistry>());
}

void TInstallerActionUninstallIntegration::Execute() {
  SetStatus(GetCommonText(u"A9"));
  const int count = TaskCount();
  for (int i = 0; i < count; ++i) {
    Tasks(i).Execute(nullptr);
    SetProgress(static_cast<int>(std::nearbyint((i + 1) * 100.0 / count)));
  }
}
