// The destination page: the folder (typed or browsed), whether to update and back up the
// installation found there, normal or portable, and a warning when an installation exists
// that this run does or does not update (Windows only).
#pragma once

#include "ui/installer_page_win.h"
#include "ui/setup_page_rules.h"
#include "ui/vyn_edit_button_win.h"
#include "ui/vyn_validation_label_win.h"

class TInstallerPageSetup : public TInstallerPage {
 public:
  explicit TInstallerPageSetup(const TInstallerPageContext& context);

  bool CanGoNext() const override;
  void Prepare() override;

 protected:
  void CreateControls() override;

 private:
  // Shows the installer's destination and options; the folder box keeps the user's text while
  // the user is typing in it.
  void UpdateControls();
  void EditChanged();
  // Takes Path as the destination when it differs from the current one.
  void SetDest(const String& path);
  void Browse();
  void OptionsClick();
  void ModeClick();
  // Shows Text as the page's warning; none for an empty text.
  void ShowWarning(const String& text);
  // Why the destination cannot be used (it is refused before the run starts), or empty.
  String DestinationProblem() const;

  TVYNEditButton* path_edit_ = nullptr;
  // Set while the page applies the text the user is typing.
  bool editing_ = false;
  TVYNCheckBox* backup_box_ = nullptr;
  TVYNCheckBox* update_box_ = nullptr;
  TVYNRadioButton* normal_button_ = nullptr;
  TVYNRadioButton* portable_button_ = nullptr;
  TVYNValidationLabel* warning_ = nullptr;
};
