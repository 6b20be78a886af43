// Update tasks: small steps that clear away what older versions of the player left behind and
// migrate the users' profiles. The prepare action runs them with its deletion list during an
// installation; the uninstall integration action runs three of them without a list.
#pragma once

#include "core/installer_action.h"
#include "platform/text.h"

class TInstallerProfileInfo;
class TVYNStringList;

class TInstallerUpdateTask : public TInstallerPersistent {
 public:
  // List: full paths of files to delete at the end of the prepare action, which a task may add
  // to or drop from; null when the uninstaller runs the task. The task reaches the run's
  // destination and product through the installer object.
  virtual void Execute(TVYNStringList* list) = 0;
};

// Unregisters and removes the context-menu libraries of older versions ("System\zelo_menu32.dll"
// and "System\zelo_menu64.dll" under the destination).
class TInstallerUpdateTaskRemoveShellMenu : public TInstallerUpdateTask {
 public:
  void Execute(TVYNStringList* list) override;
};

// Removes the uninstall registrations "ZELO3" and "ZELO" that point into the destination; an
// installation registered elsewhere keeps its entry.
class TInstallerUpdateTaskRemoveUninstallInfo : public TInstallerUpdateTask {
 public:
  void Execute(TVYNStringList* list) override;
};

// Removes the desktop shortcuts and Start-menu folders named "ZELO", and those named "ZELO3"
// when the installed version is older than 4.00, for the current user and for all users; and
// those named after the product, when its script gives it another name, since the shortcuts
// were made under "$NAME".
class TInstallerUpdateTaskRemoveShortcuts : public TInstallerUpdateTask {
 public:
  void Execute(TVYNStringList* list) override;
};

// Lets the player's "Elevator.exe" undo its registrations, then removes the product's uninstall
// registration.
class TInstallerUpdateTaskRemoveFromRegistry : public TInstallerUpdateTask {
 public:
  void Execute(TVYNStringList* list) override;
};

// Migrates one profile to the version being installed: copies it into the new profile folder
// when the folder changed, spares the new folder from deletion, gives older configuration files
// their new names and lists the files that the new version no longer wants.
class TInstallerUpdateTaskUpdateConfigs : public TInstallerUpdateTask {
 public:
  // Profile is not owned; it must outlive the task.
  explicit TInstallerUpdateTaskUpdateConfigs(const TInstallerProfileInfo& profile)
      : profile_(profile) {}
  // Raises the system's error when a configuration file cannot take its new name (the new name
  // exists already), and "Cannot copy ..." when the profile cannot be copied. In the new
  // profile, a new name that already holds the same bytes is the work of an earlier run cut
  // short: the file is dropped instead, so that the migration can be run again.
  void Execute(TVYNStringList* list) override;

  const TInstallerProfileInfo& Profile() const { return profile_; }

 private:
  const TInstallerProfileInfo& profile_;
};
