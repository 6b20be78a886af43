// The last step of an installation on Windows 10 and later: tells the shell that file
// associations changed, so that icons and "open with" follow the new registration.
#pragma once

#include <cstdint>

#include "core/installer_action.h"

class TInstallerActionUpdateShellCache : public TInstallerAction {
 public:
  static constexpr const char16_t* ClassName = u"TInstallerActionUpdateShellCache";
  static const TInstallerActionClass& Class() {
    return TInstallerActionClass::Of<TInstallerActionUpdateShellCache>();
  }

  // Gives the shell time to refresh before the run reports its end.
  static constexpr uint32_t SettlePause = 1000;

  void Execute() override;
};
