// The action class of each step of the player's runs.
#include "product/product_actions.h"

#include "core/installer_action_extract.h"
#include "product/installer_action_addons_install.h"
#include "product/installer_action_close_applications.h"
#include "product/installer_action_config.h"
#include "product/installer_action_integrate.h"
#include "product/installer_action_prepare.h"
#include "product/installer_action_shortcuts.h"
#include "product/installer_action_uninstall_files.h"
#include "product/installer_action_uninstall_integration.h"
#include "product/installer_action_update_shell_cache.h"

const TInstallerActionClass* ZELOActionClass(TZELOActionKind kind) {
  switch (kind) {
    case TZELOActionKind::Extract: return &TInstallerActionExtract::Class();
    case TZELOActionKind::CloseApplications: return &TInstallerActionCloseApplications::Class();
    case TZELOActionKind::Prepare: return &TInstallerActionPrepare::Class();
    case TZELOActionKind::AddonsInstall: return &TInstallerActionAddonsInstall::Class();
    case TZELOActionKind::Config: return &TInstallerActionConfig::Class();
    case TZELOActionKind::Integrate: return &TInstallerActionIntegrate::Class();
    case TZELOActionKind::Shortcuts: return &TInstallerActionShortcuts::Class();
    case TZELOActionKind::UpdateShellCache: return &TInstallerActionUpdateShellCache::Class();
    case TZELOActionKind::UninstallIntegration:
      return &TInstallerActionUninstallIntegration::Class();
    case TZELOActionKind::UninstallFiles: return &TInstallerActionUninstallFiles::Class();
  }
  return nullptr;
}
