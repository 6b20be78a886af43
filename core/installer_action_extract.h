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

  // Raises EInstallerInstallError unless every Components entry of Script, whatever its
  // language, names a full path once expanded: a misspelled variable ("$dest\…") would
  // otherwise write into whatever folder happens to be current. The installer object calls it
  // before a run starts, so that nothing is written or cleared first.
  static void CheckTargets(const TInstallerScript& script);

  // The Components entries that belong to the chosen language family, in script order.
  std::vector<const TInstallerScriptFile*> CreateFileList() const;
  // Writes Uninstall.exe (a copy of the running program) and Uninstall.dat (a package holding
  // "Uninstall.ini": the option store and the list of installed files, the two uninstaller files
  // last) into DestPath, then registers the uninstaller unless the run is portable.
  void WriteUninstallData(StringView dest_path,
                          const std::vector<const TInstallerScriptFile*>& files);
};
