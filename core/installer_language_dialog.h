// Choosing the language of the run: the languages of the setup package with their display names
// and icons, the preselection, and the dialog that the user interface shows them in.
#pragma once

#include <vector>

#include "platform/text.h"
#include "support/icon.h"

struct TInstallerLanguageEntry {
  String Name;
  int32_t LangId = 0;
  TVYNIcon Icon;
  // The index of the language file in the resources' language list.
  int Value = 0;
};

class TInstallerLanguageDialog {
 public:
  // The file name of the chosen language file ("English.lng" when there is no choice). The
  // switch LANG chooses without the dialog; in automatic runs, or without a user interface, the
  // preselected language is taken.
  static String SelectLanguage();

  // The languages of the setup package sorted by display name (locale order, ignoring case;
  // equal names keep their order). A listed file the package lacks is left out.
  static std::vector<TInstallerLanguageEntry> EnumLanguages();

  // The entry of the user's interface language, else of English (1033), else the first; -1
  // for no entries.
  static int SelectDefault(const std::vector<TInstallerLanguageEntry>& entries,
                           uint16_t user_language);

  // The entry whose language file is named Name (without folder and extension, letter case
  // ignored), as the switch LANG names it; -1 for none.
  static int FindByFileName(const std::vector<TInstallerLanguageEntry>& entries, StringView name);

 private:
  // The language file of the entry at Selected; "English.lng" for none.
  static String FileOfEntry(const std::vector<TInstallerLanguageEntry>& entries, int selected);
};
