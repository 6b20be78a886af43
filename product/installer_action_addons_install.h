// Starts the optional add-ons installer of the setup packages, with switches made from the
// user's add-on choices.
#pragma once

#include "core/installer_action.h"

class TVYNStringList;

class TInstallerActionAddonsInstall : public TInstallerAction {
 public:
  static constexpr const char16_t* ClassName = u"TInstallerActionAddonsInstall";
  static const TInstallerActionClass& Class() {
    return TInstallerActionClass::Of<TInstallerActionAddonsInstall>();
  }

  // Nothing when no add-on is chosen. Otherwise writes the installer that "addons.ini" names
  // (P4) into the temporary folder and opens it through the shell with the command line CL,
  // whose "%s" receives the switches; it is not waited for, and a failure to start it is
  // ignored. A missing "addons.ini" or installer, or one that cannot be written, raises.
  void Execute() override;
  void BuildSummary(TInstallerSummaryBuilder& builder) override;

  // The switches of the choices: P1 without "AddonsExtensions", P2 with "AddonsViewer", P3 with
  // "AddonsShortcuts", each followed by a blank.
  static String BuildSwitches(const TVYNStringList& addons, bool viewer, bool extensions,
                              bool shortcuts);
  // Where the installer that P4 names is written: straight into TemporaryFolder (with its
  // trailing delimiter), under the last part of the name. A name with folders in it ("..\",
  // "sub/x.exe") is still looked up as such in the packages, but the file never lands above or
  // below the temporary folder. Empty when the name ends in no file name.
  static String InstallerPath(const TVYNStringList& addons, StringView temporary_folder);
};
