// The modal folder picker: the system's file dialog in its folder mode, owned by a window of
// the wizard, with the wizard's texts (Windows only).
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "platform/text.h"

// The picker's texts, taken from the language by the wizard. An empty text keeps the
// system's own.
struct TVYNFolderBrowserTexts {
  String Caption;
  // The system's picker names its new-folder command itself and offers no way to rename it;
  // the text is kept for the wizard's language all the same.
  String NewFolder;
  String Ok;
  String Cancel;
};

// Where the picker opens for Path: Path itself when it is an existing folder, otherwise its
// nearest existing parent ("C:\Apps\New\" opens at "C:\Apps" while "New" does not exist yet).
// None when no part of it exists or Path is not absolute. FolderExists is asked about each
// candidate, from the longest, without a trailing delimiter (except a drive's root).
std::optional<String> FindVYNBrowserStartFolder(
    StringView path, const std::function<bool(StringView folder)>& folder_exists);

// Shows the picker and waits for the user. Returns the chosen folder's path, or nothing when
// the user cancelled or the picker could not be shown (which changes nothing either). Joins a
// COM apartment for the call when the thread has none.
std::optional<String> ShowVYNFolderBrowser(HWND owner, StringView start_path,
                                           const TVYNFolderBrowserTexts& texts);
