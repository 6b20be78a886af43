// The action class of each step of the player's runs.
#include "product/product_actions.h"

const TInstallerActionClass* ZELOActionClass(TZELOActionKind kind) {
  switch (kind) {
    case TZELOActionKind::CloseApplications:
    case TZELOActionKind::Prepare:
    case TZELOActionKind::AddonsInstall:
    case TZELOActionKind::Extract:
    case TZELOActionKind::Config:
    case TZELOActionKind::Integrate:
    case TZELOActionKind::Shortcuts:
    case TZELOActionKind::UpdateShellCache:
    case TZELOActionKind::UninstallIntegration:
    case TZELOActionKind::UninstallFiles: return nullptr;
  }
  return nullptr;
}
