// The shortcuts of the installer script.
#include "product/installer_action_shortcuts.h"

#include <cmath>

#include "core/installer.h"
#include "core/installer_resources.h"
#include "core/installer_summary_builder.h"
#include "package/installer_script.h"
#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/shell_link.h"
#include "platform/system.h"
#include "support/ini_file.h"
#include "support/names.h"

namespace {

String UpperCase(StringView text) {
  String upper(text);
  for (char16_t& c : upper) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  }
  return upper;
}

}  // namespace

bool TInstallerActionShortcuts::DesktopChosen() const {
  return OptionStore().ReadBool(u"Integration", u"ShortcutDesktop",
                                !Installer->HasOption(ioPortable));
}

bool TInstallerActionShortcuts::StartMenuChosen() const {
  return OptionStore().ReadBool(u"Integration", u"ShortcutStartMenu",
                                !Installer->HasOption(ioPortable));
}

void TInstallerActionShortcuts::Execute() {
  SetStatus(GetCommonText(u"A2"));
  places_.Clear();
  if (DesktopChosen()) places_.Add(u"$DESKTOP");
  if (StartMenuChosen()) places_.Add(u"$STARTMENU");
  // From Windows 8 on, the start screen shows shortcuts to programs only.
  const bool executables_only = platform::IsWindowsVersionAtLeast(6, 2);

  const TInstallerScriptGroup& shortcuts = Script().Shortcuts;
  const int count = shortcuts.Count();
  for (int i = 0; i < count; ++i) {
    ProcessEntry(shortcuts.Items(i), executables_only);
    SetProgress(static_cast<int>(std::nearbyint((i + 1) * 100.0 / count)));
  }
}

void TInstallerActionShortcuts::ProcessEntry(const TInstallerScriptFile& entry,
                                             bool executables_only) {
  // The script's own spelling decides where a shortcut goes, before any variable is expanded.
  const String name = UpperCase(entry.Name);
  bool chosen = false;
  for (int i = 0; i < places_.Count() && !chosen; ++i) {
    chosen = name.find(places_.Items(i)) != String::npos;
  }
  if (!chosen) return;
  if (executables_only && !SameName(platform::ExtractFileExt(entry.SourceName()), u".exe")) {
    return;
  }

  const String link = Resources().ExpandPath(entry.Name);
  // Variables expand only as spelled: a name that matched in another letter case stays
  // unexpanded and would put the shortcut into whatever the current folder is.
  if (!platform::IsAbsolutePath(link)) return;
  if (!platform::CreateFolderWithParents(platform::ExtractFilePath(link))) return;
  const String target = Resources().ExpandPath(entry.SourceName());
  if (platform::FileExists(link)) {
    String current;
    // An unreadable shortcut counts as pointing nowhere and is rewritten.
    if (!platform::ReadShellLinkTarget(link, current)) current.clear();
    if (current == target) return;
  }
  if (!platform::FileExists(target)) return;
  // A shortcut that cannot be saved is left out; the installation itself is complete.
  [[maybe_unused]] const bool written = platform::WriteShellLink(link, target);
}

void TInstallerActionShortcuts::BuildSummary(TInstallerSummaryBuilder& builder) {
  builder.SetHeadingText(u"PageIntegration", u"LB1");
  if (DesktopChosen()) builder.AddItemText(u"PageIntegration", u"CB1");
  if (StartMenuChosen()) builder.AddItemText(u"PageIntegration", u"CB2");
}
