// The language choice before the wizard: a small window with the setup's languages, each with
// its icon and display name, the user's display language preselected; only OK leaves it
// (Windows only).
#pragma once

#include <memory>
#include <vector>

#include "core/installer_language_dialog.h"
#include "ui/vyn_controls_win.h"
#include "ui/vyn_form_win.h"
#include "ui/vyn_image_combo_win.h"

inline constexpr int LanguageDialogOkId = 1;  // IDOK: Enter presses it

class TVYNLanguageDialog : public TVYNForm {
 public:
  // Builds the window, hidden, with Entries in their order and Preselected selected.
  TVYNLanguageDialog(const std::vector<TInstallerLanguageEntry>& entries, int preselected);

  // Shows the window and waits for OK; returns the index of the chosen entry (-1 for none).
  int ShowModal();
  // The index of the selected entry, -1 for none.
  int Selected() const;

 private:
  std::unique_ptr<TVYNImageComboBox> languages_;
  std::unique_ptr<TVYNButton> ok_button_;
  bool confirmed_ = false;
  int chosen_ = -1;
};
