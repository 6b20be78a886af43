// Telling the shell about the new file associations.
#include "product/installer_action_update_shell_cache.h"

#include "platform/clock.h"
#include "platform/shell_notify.h"

void TInstallerActionUpdateShellCache::Execute() {
  platform::NotifyAssociationsChanged();
  platform::Pause(SettlePause);
}
