// The player's settings file and its own language files, as the demo player and its
// shell-menu library read them.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/text.h"
#include "support/ini_file.h"

namespace demo {

// What Setup writes into "ZELO.ini" for the player.
struct PlayerSettings {
  String DefaultLang;  // file name of the language Setup ran in; "English.lng" when missing
  int32_t Version = 0;
  bool UserMode = true;
};

// Reads "ZELO.ini" in Folder (the installation folder, ending with a backslash). A missing file
// gives the defaults: the player also runs straight from the build tree.
PlayerSettings ReadPlayerSettings(StringView folder);

// The language file LanguageFile from Folder's "Langs\", with every text it lacks taken from
// "English.lng" there, as the player's localization completes a partial translation. Missing
// files give fewer texts, never an error: callers keep built-in defaults.
std::unique_ptr<TVYNIniFile> LoadPlayerTexts(StringView folder, StringView language_file);

}  // namespace demo
