// The product's entry among the system's installed programs: registering an uninstaller,
// finding where a registered product lives, and removing the entry.
//
// The entry is a subkey of "Software\Microsoft\Windows\CurrentVersion\Uninstall" of the local
// machine, in the native view of the registry. None of these operations raises for registry
// errors; they answer with their result, and callers other than GetInstallPath's may ignore it.
#pragma once

#include "platform/text.h"

class TInstallerApplicationRepository {
 public:
  // Writes the entry named after DisplayName without its blanks: NoModify, NoRepair,
  // DisplayIcon, DisplayName, DisplayVersion, InstallDate (today, "yyyyMMdd"), InstallPath,
  // Publisher, UninstallString and URLInfoAbout, in this order, over any earlier values. False,
  // with nothing written, when the name has nothing but blanks or the key cannot be opened.
  static bool Register(StringView display_name, StringView uninstaller_path, StringView version,
                       StringView publisher, StringView home_page);

  // Adds, after Register, what deployment tools and the system's list of programs read beside
  // those values: QuietUninstallString (the quoted uninstaller with the switches of an
  // unattended uninstall), EstimatedSize (a number of KiB), InstallLocation (the uninstaller's
  // folder) and DisplayIcon (IconPath: a program whose icon the list shows). False when the entry
  // cannot be opened.
  static bool RegisterDeploymentValues(StringView display_name, StringView uninstaller_path,
                                       uint32_t estimated_size_kib, StringView icon_path);

  // The installation folder of the entry KeyName (used as given), with a trailing backslash:
  // from InstallPath, else the folder of UninstallString, else the folder of DisplayIcon, the
  // first that names an existing folder. True only then; Path holds the last candidate either
  // way.
  static bool GetInstallPath(StringView key_name, String& path);

  // Deletes the entry named after DisplayName with everything below it. True when the entry's
  // own key was deleted.
  static bool Unregister(StringView display_name);
};
