// The player's settings file and its own language files, as the demo player and its
// shell-menu library read them.
#include "tools/demo/player_settings.h"

namespace demo {

PlayerSettings ReadPlayerSettings(StringView folder) {
  const TVYNIniFile config(String(folder) + u"ZELO.ini");
  PlayerSettings settings;
  settings.DefaultLang = config.ReadString(u"System", u"DefaultLang", u"English.lng");
  settings.Version = config.ReadInteger(u"System", u"Version", 0);
  settings.UserMode = config.ReadBool(u"System", u"UserMode", true);
  return settings;
}

std::unique_ptr<TVYNIniFile> LoadPlayerTexts(StringView folder, StringView language_file) {
  const String langs = String(folder) + u"Langs\\";
  auto texts = std::make_unique<TVYNIniFile>(langs + String(language_file));
  texts->MergeFromFile(langs + u"English.lng", false);
  return texts;
}

}  // namespace demo
