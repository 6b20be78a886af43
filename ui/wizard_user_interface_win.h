// The wizard as the core's user interface: it runs the wizard form for every run that is not
// silent and owns the boxes while its window exists (Windows only).
#pragma once

#include <memory>

#include "core/installer_user_interface.h"

class TInstallerForm;

class TWizardUserInterface : public IInstallerUserInterface {
 public:
  TWizardUserInterface();
  ~TWizardUserInterface() override;

  void InitializeApplication() override;
  int ShowLanguageDialog(const std::vector<TInstallerLanguageEntry>& entries,
                         int preselected) override;
  // Shows the wizard until it closes, then starts the post-install commands the user chose
  // (the finish page wrote them) and returns the run's exit code: success, cancelled when the
  // user closed the wizard before the run ended, failed when the run reported errors.
  int RunWizard() override;
  platform::NativeWindow OwnerWindow() const override;

 private:
  std::unique_ptr<TInstallerForm> form_;
};
