// Shell integration through the player's registration tool.
#include "product/installer_action_integrate.h"

#include "core/installer.h"
#include "core/installer_summary_builder.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/system.h"
#include "support/ini_file.h"

namespace {

struct TIntegrationChoice {
  bool IntegrateToWindows;
  bool RegisterContextMenu;
  bool AssociateWithFiles;
};

TIntegrationChoice ReadChoice(const TVYNIniFile& options) {
  return {options.ReadBool(u"Integration", u"IntegrateToWindows", true),
          options.ReadBool(u"Integration", u"RegisterContextMenu", true),
          options.ReadBool(u"Integration", u"AssociateWithFiles", true)};
}

}  // namespace

String TInstallerActionIntegrate::BuildSwitches(bool integrate_to_windows,
                                                bool register_context_menu,
                                                bool associate_with_files, bool ask_user) {
  String switches;
  if (integrate_to_windows) switches += u" /REG=L1 /REG=D1 /REG=R1";
  if (register_context_menu) switches += u" /REG=M1";
  if (associate_with_files) {
    switches += u" /REG=R2";
    if (ask_user) switches += u" /REG_UI";
  }
  return switches;
}

void TInstallerActionIntegrate::Execute() {
  const String tool = Installer->DestPath() + u"Elevator.exe";
  if (!platform::FileExists(tool)) return;
  const TIntegrationChoice choice = ReadChoice(OptionStore());
  // From Windows 8 on, a program may no longer take file types over by itself: the user
  // confirms in the system's settings, which only an interactive run may open.
  const bool ask_user = platform::IsWindowsVersionAtLeast(6, 2) && !Installer->HasOption(ioAuto);
  const String switches = BuildSwitches(choice.IntegrateToWindows, choice.RegisterContextMenu,
                                        choice.AssociateWithFiles, ask_user);
  if (switches.empty()) return;
  // Quoted: unquoted, a destination with a blank ("C:\Program Files\...") would let the system
  // try "C:\Program.exe" first, with the installer's rights. The tool's result is not looked
  // at; integration is not worth failing the run.
  [[maybe_unused]] const bool started =
      platform::RunProgramAndWait(u"\"" + tool + u"\"" + switches);
}

void TInstallerActionIntegrate::BuildSummary(TInstallerSummaryBuilder& builder) {
  const TIntegrationChoice choice = ReadChoice(OptionStore());
  builder.SetHeadingText(u"PageIntegration", u"LB2");
  if (choice.IntegrateToWindows) builder.AddItemText(u"PageIntegration", u"CB4");
  if (choice.RegisterContextMenu) builder.AddItemText(u"PageIntegration", u"CB5");
  if (choice.AssociateWithFiles) builder.AddItemText(u"PageIntegration", u"CB3");
}
