// The action class of each step of the player's runs.
#include "product/product_actions.h"

#include "core/installer_action_extract.h"

const TInstallerActionClass* ZELOActionClass(TZELOActionKind kind) {
  // The steps without a class yet are left out of the run rather than stood in for.
  switch (kind) {
    case TZELOActionKind::Extract: return &TInstallerActionExtract::Class();
    case TZELOActionKind::CloseApplications: return nullptr;
    case TZELOActionKind::Prepare: return nullptr;
    case TZELOActionKind::AddonsInstall: return nullptr;
    case TZELOActionKind::Config: return nullptr;
    case TZELOActionKind::Integrate: return nullptr;
    case TZELOActionKind::Shortcuts: return nullptr;
    case TZELOActionKind::UpdateShellCache: return nullptr;
    case TZELOActionKind::UninstallIntegration: return nullptr;
    case TZELOActionKind::UninstallFiles: return nullptr;
  }
  return nullptr;
}
