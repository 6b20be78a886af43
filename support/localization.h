// TVYNLocalization: the language object, language-file headers, and the global text lookups.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/text.h"
#include "support/icon.h"
#include "support/ini_file.h"
#include "support/string_list.h"

// Told when the language object has loaded a language, after the forms have been told. A class
// that takes several of the listener interfaces inherits this one virtually, so that it is one
// listener.
class IVYNLocalizationListener {
 public:
  virtual ~IVYNLocalizationListener() = default;
  virtual void OnLangChanged() = 0;
};

// Told first: objects that keep texts read from the language reread them here, so that whatever
// is told later already sees the new texts.
class IVYNLocalizationListener2 : public virtual IVYNLocalizationListener {
 public:
  virtual void OnLangReloadTexts() = 0;
};

// Told second, still before the forms: objects that forms draw from (fonts, layouts, lists of
// localized items) adapt here.
class IVYNLocalizationListener3 : public virtual IVYNLocalizationListener {
 public:
  virtual void OnLangBeforeForms() = 0;
};

// Marks a component that localizes itself rather than being localized by its form.
class IVYNLocalizableComponent {
 public:
  virtual ~IVYNLocalizableComponent() = default;
};

// The window message the forms receive when the language changed (the user message base plus
// 101, both parameters 0).
inline constexpr unsigned LangChangedMessage = 0x0400 + 101;

// A language file is INI text. Its header section "File" describes it ("Name", "Author",
// "LangId", "VersionId", "Icon", "ANSICP", "Family"); every other section maps keys to texts, in
// which the two characters backslash and n stand for a line break.
class TVYNLocalization : public TVYNIniFile {
 public:
  // Loads FileName from the languages folder when it is not empty. Never saves itself.
  explicit TVYNLocalization(StringView file_name = {});

  // Loads a bare file name ("English.lng") from the languages folder.
  void LoadFromFile(StringView file_name) override;
  // Loads the language, takes its "ANSICP" as the default code page for byte texts, and runs
  // LangChanged.
  void LoadFromStream(TStream& stream) override;
  // The value with every backslash-n pair turned into CR LF.
  bool ReadValue(StringView section, StringView key, String& value) const override;

  // Completes a partial translation from "English.lng" of the languages folder (unless this is
  // "English.lng" or "Russian.lng", which are complete), then tells the listeners: those of
  // IVYNLocalizationListener2, those of IVYNLocalizationListener3, the forms, and finally every
  // listener, each pass in registration order.
  virtual void LangChanged();

  // Listeners are not owned; one must be removed before it is destroyed. Removing one, even
  // during a pass, is safe: the pass goes on with the others.
  void AddListener(IVYNLocalizationListener* listener);
  void RemoveListener(IVYNLocalizationListener* listener);

 private:
  template <class Listener, class Call>
  void TellListeners(Call call);

  std::recursive_mutex listeners_mutex_;
  std::vector<IVYNLocalizationListener*> listeners_;
  // Passes in progress; removals during a pass leave a gap that the last pass closes.
  int passes_ = 0;
};

// The header of a language file as LangGetInfo reads it.
struct TVYNLocalizationInfo {
  String Author;
  int32_t LangId = 0;
  String Name;
  int32_t VersionId = 0;
};

// Reads the header of a loaded language file. The icon, when one is given, is loaded from the
// hexadecimal "Icon" value; a missing, empty or invalid value, or bytes that are not an icon,
// clear it. Always true.
bool LangGetInfo(const TVYNIniFile& language, TVYNLocalizationInfo& info, TVYNIcon* icon);

// The languages folder: "Langs\" in the program's folder, unless SetLangsFolder chose another
// (tests, tools that check language files elsewhere); an empty folder restores the default.
String LangsFolder();
void SetLangsFolder(StringView folder);

// The code page for byte texts of the user-interface library: 0 (the system's ANSI code page)
// until a language file sets another with "ANSICP".
unsigned DefaultByteTextCodePage();
void SetDefaultByteTextCodePage(unsigned code_page);

// Step 4 of LangChanged: the user interface installs a function that sends LangChangedMessage to
// the application's main form and then to every open form. Without one, no form is told.
void SetLangFormsNotifier(std::function<void()> notifier);

// The global language object, created empty on first use. The setup program never loads it, so
// the controls keep their built-in texts.
TVYNLocalization& Lang();
// ReadString of the global language object.
String LangGet(StringView section, StringView key, StringView default_value);
// Replaces each item i of Strings by the text of key "i[<i>]" in Section, when there is one.
void LangApplyTo(StringView section, TVYNStringList& strings);
// The file-name part of the file the global language object was loaded from.
String LangFileName();
