#include "ui/wizard_user_interface_win.h"

#include "core/exit_codes.h"
#include "core/installer.h"
#include "ui/installer_form_win.h"
#include "ui/vyn_language_dialog_win.h"
#include "ui/vyn_message_loop_win.h"

TWizardUserInterface::TWizardUserInterface() = default;
TWizardUserInterface::~TWizardUserInterface() = default;

void TWizardUserInterface::InitializeApplication() {
  // The wizard's controls are the system's own window classes and classes it registers when
  // it first makes them; nothing has to be set up before the language is chosen.
}

int TWizardUserInterface::ShowLanguageDialog(const std::vector<TInstallerLanguageEntry>& entries,
                                             int preselected) {
  TVYNLanguageDialog dialog(entries, preselected);
  return dialog.ShowModal();
}

int TWizardUserInterface::RunWizard() {
  form_ = std::make_unique<TInstallerForm>();
  form_->Show();
  static_cast<void>(RunMessageLoop());
  // A run that never began ended the wizard as cancelled, unless it could not begin.
  const bool cancelled =
      form_->CancelledByUser() || (Installer->State() != isFinished && !Installer->HasErrors());
  // The finish page's choices are read here, before its window object goes.
  Installer->RunPostActions();
  form_.reset();
  if (cancelled) return ExitCancelled;
  return Installer->HasErrors() ? ExitFailed : ExitSuccess;
}

platform::NativeWindow TWizardUserInterface::OwnerWindow() const {
  return form_ != nullptr ? form_->Handle() : nullptr;
}
