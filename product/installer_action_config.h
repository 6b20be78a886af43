// Writes the player's settings file "ZELO.ini" in the destination: the mode, the language, the
// version and the integration choices; whatever else the file holds stays as it was.
#pragma once

#include "core/installer_action.h"

class TInstallerActionConfig : public TInstallerAction {
 public:
  static constexpr const char16_t* ClassName = u"TInstallerActionConfig";
  static const TInstallerActionClass& Class() {
    return TInstallerActionClass::Of<TInstallerActionConfig>();
  }

  // "Integration" becomes the option store's; "System" holds exactly "UserMode" (0 when
  // portable), "DefaultLang" (the chosen language file) and "Version". A file that cannot be
  // written is not reported.
  void Execute() override;
};
