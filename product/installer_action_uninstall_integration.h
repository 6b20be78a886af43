// The uninstaller's first step after closing the player: undoes its integration with Windows
// (context menu, shortcuts, file types and the uninstall registration) by running three of the
// update tasks.
#pragma once

#include <memory>
#include <vector>

#include "core/installer_action.h"
#include "product/installer_update_tasks.h"

class TInstallerActionUninstallIntegration : public TInstallerAction {
 public:
  static constexpr const char16_t* ClassName = u"TInstallerActionUninstallIntegration";
  static const TInstallerActionClass& Class() {
    return TInstallerActionClass::Of<TInstallerActionUninstallIntegration>();
  }

  // Makes the tasks: remove the shell menu, the shortcuts, then the registry entries.
  TInstallerActionUninstallIntegration();

  // Runs each task without a deletion list; the progress follows the tasks done.
  void Execute() override;

  int TaskCount() const { return static_cast<int>(tasks_.size()); }
  TInstallerUpdateTask& Tasks(int index) const { return *tasks_[static_cast<size_t>(index)]; }

 private:
  std::vector<std::unique_ptr<TInstallerUpdateTask>> tasks_;
};
