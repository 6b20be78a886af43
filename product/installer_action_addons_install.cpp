// The add-ons installer.
#include "product/installer_action_addons_install.h"

#include <memory>

#include "core/installer.h"
#include "core/installer_errors.h"
#include "core/installer_extract_helper.h"
#include "core/installer_resources.h"
#include "core/installer_summary_builder.h"
#include "platform/exception.h"
#include "platform/file_name.h"
#include "platform/private_folder.h"
#include "platform/shell_execute.h"
#include "platform/shell_folders.h"
#include "support/format_text.h"
#include "support/ini_file.h"
#include "support/memory_stream.h"
#include "support/string_list.h"

namespace {

struct TAddonsChoice {
  bool Viewer;
  bool Extensions;
  bool Shortcuts;
};

TAddonsChoice ReadChoice(const TVYNIniFile& options) {
  return {options.ReadBool(u"Common", u"AddonsViewer", false),
          options.ReadBool(u"Common", u"AddonsExtensions", false),
          options.ReadBool(u"Common", u"AddonsShortcuts", false)};
}

}  // namespace

String TInstallerActionAddonsInstall::BuildSwitches(const TVYNStringList& addons, bool viewer,
                                                    bool extensions, bool shortcuts) {
  String switches;
  if (!extensions) switches += addons.GetValue(u"P1") + u" ";
  if (viewer) switches += addons.GetValue(u"P2") + u" ";
  if (shortcuts) switches += addons.GetValue(u"P3") + u" ";
  return switches;
}

String TInstallerActionAddonsInstall::InstallerPath(const TVYNStringList& addons,
                                                    StringView temporary_folder) {
  const String name = platform::ExtractFileName(addons.GetValue(u"P4"));
  if (name.empty() || name == u"." || name == u"..") return String();
  return String(temporary_folder) + name;
}

void TInstallerActionAddonsInstall::Execute() {
  const TAddonsChoice choice = ReadChoice(OptionStore());
  if (!choice.Viewer && !choice.Extensions && !choice.Shortcuts) return;

  const std::unique_ptr<TVYNStringList> addons = Resources().GetStringList(u"addons.ini");
  const std::unique_ptr<TMemoryViewStream> installer = Resources().GetView(addons->GetValue(u"P4"));
  String temporary;
  if (!platform::GetTempFolder(temporary)) RaiseLastOSError();
  // A folder of its own that only administrators may write, with a name nobody can guess: the
  // add-on's installer runs with the setup's rights, and beside it in the shared temporary
  // folder anyone could have planted a library it loads, or replaced it before it starts.
  String folder;
  if (!platform::CreateUniquePrivateFolder(temporary, u"Addons-", folder)) RaiseLastOSError();
  // Written with the setup's rights: the list must not be able to put a file anywhere else.
  const String path = InstallerPath(*addons, folder);
  if (path.empty()) {
    throw EInstallerGeneralError(u"\"addons.ini\" names no installer file (\"P4\")");
  }
  Installer->ExtractHelper().WriteTargetFile(path, [&installer](TStream& file) {
    if (installer->Size() > 0) file.WriteBuffer(installer->Memory(), installer->Size());
  });

  const String parameters =
      FormatText(addons->GetValue(u"CL"),
                 {BuildSwitches(*addons, choice.Viewer, choice.Extensions, choice.Shortcuts)});
  // The add-on is offered, not required: the installation goes on whether or not it starts.
  [[maybe_unused]] const bool started =
      platform::ShellOpen(path, parameters, u"", platform::ShowNormal);
}

void TInstallerActionAddonsInstall::BuildSummary(TInstallerSummaryBuilder& builder) {
  const TAddonsChoice choice = ReadChoice(OptionStore());
  builder.SetHeadingText(u"PageAddons", u"Title");
  if (choice.Viewer) builder.AddItemText(u"PageAddons", u"CB1");
  if (choice.Extensions) builder.AddItemText(u"PageAddons", u"CB2");
  if (choice.Shortcuts) builder.AddItemText(u"PageAddons", u"CB3");
}
