// The prepare action: readies the destination for the new files. It finds the profiles of the
// installed version, saves the previous installation and those profiles into a ZIP archive
// under "!Backup\" (unless NOBACKUP), prunes old archives, obsolete plug-ins and the files about
// to be installed, runs the update tasks (which migrate profiles and clear older traces) and
// finally deletes what it collected and the folders left empty. On an update the player's
// add-in folders and the new version's profiles survive.
//
// A failure before the deletion (the backup above all) stops the action with nothing deleted:
// the previous installation is either saved or left in place. The same holds when the process
// is killed at any moment: every old file is in place, in a complete archive, or about to be
// replaced, and a run started again finishes the job (an unfinished archive never passes for a
// backup, and an update stays recognisable as one until the new configuration is written).
#pragma once

#include <memory>
#include <vector>

#include "core/installer_action.h"
#include "product/installer_file_list.h"
#include "product/installer_profile.h"
#include "product/installer_update_tasks.h"

class TVYNStringList;

class TInstallerActionPrepare : public TInstallerAction {
 public:
  static constexpr const char16_t* ClassName = u"TInstallerActionPrepare";
  static const TInstallerActionClass& Class() {
    return TInstallerActionClass::Of<TInstallerActionPrepare>();
  }

  void Execute() override;
  // The setup choices: the destination, the kind of installation, the backup, and a warning
  // when an installation exists that this run replaces instead of updating.
  void BuildSummary(TInstallerSummaryBuilder& builder) override;

  const TInstallerProfileInfoList& Profiles() const { return profiles_; }
  int Done() const { return done_; }
  int Total() const { return total_; }

  // The archive name for the version being installed and the current local time, in Folder:
  // "z Before install <version> [yyyy.MM.dd hh-mm-ss].zip".
  static String BackupArchiveName(StringView folder);

 private:
  void FindProfiles();
  void CreateTasks();
  // Saves List into a new archive in BackupFolder and returns its path (empty when the list is
  // empty). The archive gets its name only once complete. Raises EInstallerBackupError when the
  // files are too many or one cannot be saved; an archive that could not be completed is
  // removed.
  String WriteArchive(const TInstallerFileList& list, const String& backup_folder);
  // Adds all but the newest archives of BackupFolder to the deletion list, and the unfinished
  // archives runs cut short left there; Written (when not empty) is the archive of this run,
  // which always stays.
  static void AddOldBackups(TVYNStringList& list, const String& backup_folder,
                            const String& written);
  void AddObsoleteFiles(TVYNStringList& list) const;
  void AddFilesBeingInstalled(TVYNStringList& list) const;
  // On an update, drops the installation's configuration in Dest from List: it stays, saved in
  // the archive, until the configuration action rewrites it for the new version. Until then a
  // run cut short (the process killed, a power cut) and started again still finds the version
  // it was updating, and updates it again rather than installing afresh over it.
  static void KeepInstalledConfiguration(TVYNStringList& list, const String& dest);
  void RunTasks(TVYNStringList& list);
  static void DeleteFiles(const TVYNStringList& list);
  void StepDone();

  TInstallerProfileInfoList profiles_;
  std::vector<std::unique_ptr<TInstallerUpdateTask>> tasks_;
  int done_ = 0;
  int total_ = 0;
};

// Whether the setup should warn that an installation exists and will be replaced rather than
// updated: not an update, and either the destination holds a known version or (for a standard
// installation) the player is installed somewhere.
bool NeedsInstallWarning();
