// The one way the core reaches the user interface: the wizard registers itself here at start-up
// and the core asks it for the language dialog, the wizard run and the window that owns the
// boxes. Without one (tests, a build without a wizard) the core runs silently.
#pragma once

#include <vector>

#include "core/installer_language_dialog.h"
#include "platform/message_box.h"

class IInstallerUserInterface {
 public:
  virtual ~IInstallerUserInterface() = default;
  // Sets up what the windows need (common controls, fonts) before the language dialog.
  virtual void InitializeApplication() = 0;
  // Shows Entries with Preselected selected until the user chooses; returns the chosen index.
  virtual int ShowLanguageDialog(const std::vector<TInstallerLanguageEntry>& entries,
                                 int preselected) = 0;
  // Creates the wizard as the main window, runs the message loop until it closes and returns
  // the run's exit code.
  virtual int RunWizard() = 0;
  // The window that owns the boxes the core shows (the wizard's while it exists), or null.
  virtual platform::NativeWindow OwnerWindow() const = 0;
};

// Registers the process's user interface (null to remove it). The object must outlive its use.
void SetInstallerUserInterface(IInstallerUserInterface* user_interface);
// The registered user interface, or null.
IInstallerUserInterface* InstallerUserInterface();
// The owner for a box: the user interface's window, or none.
platform::NativeWindow InstallerOwnerWindow();
