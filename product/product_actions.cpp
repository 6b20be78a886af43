// The action class of each step of the player's runs.
#include "product/product_actions.h"

#include "core/installer_action_extract.h"

const TInstallerActionClass* ZELOActionClass(TZELOActionKind kind) {
  switch (kind) {
    case TZELOActionKind::CloseApplications:
    case TZELOActionKind::Prepare:
    case TZELOActionKind::Extract: return &TInstallerActionExtract::Class();
    case TZELOActionKind::AddonsInstall:
    case TZELOActionKind::Config:
    case TZELOActionKind::Integrate:
    case TZELOActionKind::Shortcuts:
    case TZELOActionKind::UpdateShellCache:
    case TZELOActionKind::UninstallIntegration:
    case TZELOActionKind::UninstallFiles: return nullptr;
  }
  return nullptr;
}
