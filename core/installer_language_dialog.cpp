// Choosing the language of the run.
#include "core/installer_language_dialog.h"

#include "core/installer.h"
#include "core/installer_log.h"
#include "core/installer_resources.h"
#include "core/installer_user_interface.h"
#include "core/program_entry.h"
#include "platform/file_name.h"
#include "platform/locale.h"
#include "platform/system.h"
#include "support/command_line.h"
#include "support/localization.h"
#include "support/names.h"

std::vector<TInstallerLanguageEntry> TInstallerLanguageDialog::EnumLanguages() {
  TInstallerResources& resources = Installer->Resources();
  const TVYNStringList& languages = resources.Languages();
  std::vector<TInstallerLanguageEntry> entries;
  TVYNIniFile buffer;
  for (int i = 0; i < languages.Count(); ++i) {
    auto stream = resources.SetupPackage().Extract(languages.Items(i));
    if (!stream) continue;
    buffer.LoadFromStream(*stream);
    TInstallerLanguageEntry entry;
    TVYNLocalizationInfo info;
    LangGetInfo(buffer, info, &entry.Icon);
    entry.Name = info.Name;
    entry.LangId = info.LangId;
    entry.Value = i;
    // From the end towards the front while the new name sorts before the one in front, so
    // names that compare equal keep the order in which they came.
    auto position = entries.end();
    while (position != entries.begin() &&
           platform::CompareTextIgnoringCase(entry.Name, (position - 1)->Name) < 0) {
      --position;
    }
    entries.insert(position, std::move(entry));
  }
  return entries;
}

int TInstallerLanguageDialog::SelectDefault(const std::vector<TInstallerLanguageEntry>& entries,
                                            uint16_t user_language) {
  for (const int32_t wanted : {static_cast<int32_t>(user_language), int32_t{1033}}) {
    for (size_t i = 0; i < entries.size(); ++i) {
      if (entries[i].LangId == wanted) return static_cast<int>(i);
    }
  }
  return entries.empty() ? -1 : 0;
}

int TInstallerLanguageDialog::FindByFileName(const std::vector<TInstallerLanguageEntry>& entries,
                                             StringView name) {
  const TVYNStringList& languages = Installer->Resources().Languages();
  for (size_t i = 0; i < entries.size(); ++i) {
    const String file = platform::ExtractFileName(languages.Items(entries[i].Value));
    if (SameName(platform::ChangeFileExt(file, u""), name)) return static_cast<int>(i);
  }
  return -1;
}

String TInstallerLanguageDialog::SelectLanguage() {
  const std::vector<TInstallerLanguageEntry> entries = EnumLanguages();
  int selected = SelectDefault(entries, platform::GetUserInterfaceLanguage());
  String wanted;
  // An administrator's choice replaces the dialog; one the package lacks leaves the preselection.
  if (GetSwitch(ProgramArgumentText(), u"LANG", wanted)) {
    const int found = FindByFileName(entries, wanted);
    if (found >= 0) {
      selected = found;
    } else {
      TInstallerLog::Write(u"Language \"" + wanted +
                           u"\" is not in this setup; the preselected one is used");
    }
    return FileOfEntry(entries, selected);
  }
  IInstallerUserInterface* user_interface = InstallerUserInterface();
  if (!Installer->HasOption(ioAuto) && user_interface != nullptr && !entries.empty()) {
    selected = user_interface->ShowLanguageDialog(entries, selected);
  }
  return FileOfEntry(entries, selected);
}

String TInstallerLanguageDialog::FileOfEntry(const std::vector<TInstallerLanguageEntry>& entries,
                                             int selected) {
  if (selected < 0 || selected >= static_cast<int>(entries.size())) return u"English.lng";
  return Installer->Resources().Languages().Items(entries[static_cast<size_t>(selected)].Value);
}
