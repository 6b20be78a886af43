// Shell integration of a fresh installation: the player's own registration tool, run with the
// switches of the integration choices.
#pragma once

#include "core/installer_action.h"

class TInstallerActionIntegrate : public TInstallerAction {
 public:
  static constexpr const char16_t* ClassName = u"TInstallerActionIntegrate";
  static const TInstallerActionClass& Class() {
    return TInstallerActionClass::Of<TInstallerActionIntegrate>();
  }

  // Runs "<destination>Elevator.exe<switches>" and waits for it; nothing when the tool is
  // missing or no choice is on. Never fails: the tool's own result is not looked at.
  void Execute() override;
  void BuildSummary(TInstallerSummaryBuilder& builder) override;

  // The switches, each with its leading blank; " /REG_UI" (which opens the system's default-apps
  // settings) follows " /REG=R2" only when AskUser is set.
  static String BuildSwitches(bool integrate_to_windows, bool register_context_menu,
                              bool associate_with_files, bool ask_user);
};
