// Creates the shortcuts of the installer script that the user asked for: those on the desktop
// and those in the start menu, each only when its place's option is on.
#pragma once

#include "core/installer_action.h"
#include "support/string_list.h"

struct TInstallerScriptFile;

class TInstallerActionShortcuts : public TInstallerAction {
 public:
  static constexpr const char16_t* ClassName = u"TInstallerActionShortcuts";
  static const TInstallerActionClass& Class() {
    return TInstallerActionClass::Of<TInstallerActionShortcuts>();
  }

  // Never fails: a shortcut whose folder cannot be made, whose target is missing or that cannot
  // be saved is left out. A shortcut that already points at its target is left untouched.
  void Execute() override;
  void BuildSummary(TInstallerSummaryBuilder& builder) override;

  // The path variables whose shortcuts this run creates, upper-cased ("$DESKTOP", "$STARTMENU").
  const TVYNStringList& Places() const { return places_; }

 private:
  bool DesktopChosen() const;
  bool StartMenuChosen() const;
  void ProcessEntry(const TInstallerScriptFile& entry, bool executables_only);

  TVYNStringList places_;
};
