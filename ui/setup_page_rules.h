// The destination page's rules apart from its window: what its boxes, radio buttons and
// warning show for the installer's state, where a browsed folder or a change of the kind of
// installation puts the destination. The Win32 page only carries these out.
#pragma once

#include <functional>
#include <optional>

#include "core/installer.h"
#include "platform/text.h"

struct TSetupPageState {
  String Destination;
  bool UpdateChecked = false;
  bool UpdateVisible = false;
  bool BackupChecked = false;
  bool BackupVisible = false;
  // The kind of installation can be chosen only for a fresh one; an update keeps its own.
  bool ModeEnabled = false;
  bool Portable = false;
  // "W1" (this run updates the installation found) or "W3" (an installation exists that this
  // run does not update); empty for none. The two exclude each other.
  StringView WarningKey;

  bool operator==(const TSetupPageState&) const = default;
};

// Why the destination cannot be used, or empty when it can: it must be a full path that is not
// a drive's root, on a drive that exists, short enough for the paths of the files installed in
// it (with an installer object, whose script names them). FolderExists answers for the drive's
// root.
String GetDestinationProblem(StringView destination,
                             const std::function<bool(StringView folder)>& folder_exists);

// Tells whether an installation is registered on the machine or a player runs: the product's
// installed-path lookup.
using TFindInstalledPath = std::function<bool()>;

// What the page shows for the installer's current destination and options.
TSetupPageState GetSetupPageState(TInstaller& installer, const TFindInstalledPath& find_installed);

// The destination or the machine holds an installation that this run will not update.
bool NeedsInstallWarning(TInstaller& installer, const TFindInstalledPath& find_installed);

// The destination for a folder the user browsed to: the folder itself when its last name is
// the product's (any letter case), otherwise a folder of the product's name inside it.
String GetBrowsedDestination(StringView folder, StringView product_name);

// The destination after the user chose the kind of installation, or none to keep it: a
// portable installation moves out of a program-files folder to the default portable folder,
// and back to the default folder when normal is chosen again while it is still there.
std::optional<String> GetDestinationForMode(TInstaller& installer, bool portable);
