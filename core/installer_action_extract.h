// The extraction action: writes the product's files for the chosen language into the
// destination, then the uninstaller (a copy of this program and a data package listing what was
// installed), and registers the uninstaller unless the installation is portable.
#pragma once

#include <vector>

#include "core/installer_action.h"

class TInstallerActionExtract : public TInstallerAction {
 public:
  static constexpr const char16_t* ClassName = u"TInstallerActionExtract";
  static const TInstallerActionClass& Class() {
    return TInstallerActionClass::Of<TInstallerActionExtract>();
  }

  void Execute() override;

  // Raises EInstallerInstallError, naming the entry, unless every Components entry of Script
  // can be written where it says and nowhere else. The installer object calls it before a run
  // starts, so that a hostile or broken script has nothing written or cleared first. An entry,
  // whatever its language, is refused when
  // - its name holds what the clean-up would quietly drop or change: a data stream
  //   ("$DEST\a.txt:evil"), characters names cannot hold, a device-namespace prefix ("\\?\");
  // - it is not a full path once expanded (a misspelled variable, "$dest\…", would write into
  //   whatever folder happens to be current);
  // - it lies outside the destination and outside the folder its leading variable names ($TEMP,
  //   $DESKTOP, $STARTMENU, $PROGRAMS): "..", another drive, a share;
  // - one of its names is a device ("NUL", "COM1.txt");
  // - it is the uninstaller's own Uninstall.exe or Uninstall.dat;
  // - it is the same file to Windows (letter case, trailing dots and blanks) as an earlier entry
  //   that can be installed with it, so one would silently overwrite the other.
  // An entry of the chosen language is refused too when its full path is longer than
  // MaximumInstalledPathLength.
  static void CheckTargets(const TInstallerScript& script);

  // Why Destination is too long for the files of the chosen language that Script installs in
  // it, or empty: the wizard's destination check, which tells before the run what CheckTargets
  // would refuse.
  static String DestinationLengthProblem(const TInstallerScript& script, StringView destination);

  // The Components entries that belong to the chosen language family, in script order.
  std::vector<const TInstallerScriptFile*> CreateFileList() const;
  // Removes what a run cut short left while writing the entries of the other language families,
  // which this run does not write and so does not replace.
  void RemoveLeftoversOfOtherLanguages();
  // Writes Uninstall.exe (a copy of the running program) and Uninstall.dat (a package holding
  // "Uninstall.ini": the option store and the list of installed files, the two uninstaller files
  // last) into DestPath, then registers the uninstaller unless the run is portable.
  void WriteUninstallData(StringView dest_path,
                          const std::vector<const TInstallerScriptFile*>& files);
};
