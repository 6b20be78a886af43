// The shell's special folders and the temporary folder.
#pragma once

#include "platform/text.h"

namespace platform {

enum class ShellFolder {
  CommonDesktop,   // the desktop of all users
  CommonPrograms,  // the Start menu's programs folder of all users
  ProgramFiles,    // the folder for installed programs
  Desktop,         // the current user's desktop
  StartMenu,       // the current user's Start menu (not its programs folder)
  Programs,        // the current user's Start menu programs folder
  AppData,         // the current user's roaming application data
  LocalAppData,    // the current user's local application data
  Profile,         // the current user's profile folder
  CommonStartMenu, // the Start menu of all users (not its programs folder)
  System,          // the Windows system folder ("C:\Windows\system32")
};

// The folder as the shell names it, without a trailing backslash (SHGetFolderPathW). False,
// with the platform's error, when the shell cannot resolve it.
[[nodiscard]] bool GetShellFolder(ShellFolder folder, String& path);

// The user's temporary folder, with its trailing backslash (GetTempPathW).
[[nodiscard]] bool GetTempFolder(String& path);

// The same, raising the system's error when there is none: an empty folder would make every
// path built on it relative, or the drive's root.
String TemporaryFolder();

}  // namespace platform
