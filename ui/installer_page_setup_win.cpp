#include "ui/installer_page_setup_win.h"

#include "core/installer.h"
#include "core/installer_product_info.h"
#include "core/installer_resources.h"
#include "platform/file_system.h"
#include "product/product_info_zelo.h"
#include "ui/vyn_folder_browser_win.h"
#include "ui/vyn_form_win.h"

namespace {

// The part of the page the warning is placed in: the page without 40 pixels left and right
// and 20 at the top and bottom.
constexpr int WarningInsetX = 40;
constexpr int WarningInsetY = 20;

// The picker speaks the wizard's language.
TVYNFolderBrowserTexts FolderBrowserTexts() {
  const TInstallerResources& resources = Installer->Resources();
  return TVYNFolderBrowserTexts{
      resources.GetString(u"Common", u"lBrowse"), resources.GetString(u"Common", u"lNewFolder"),
      resources.GetString(u"Common", u"lOk"), resources.GetString(u"Common", u"lCancel")};
}

bool InstallationFoundElsewhere() {
  String path;
  return TProductInfoZELO::FindInstalledPath(path);
}

}  // namespace

TInstallerPageSetup::TInstallerPageSetup(const TInstallerPageContext& context)
    : TInstallerPage(context, u"TInstallerPageSetup", TInstallerPageKind::pkOrdinary) {}

void TInstallerPageSetup::CreateControls() {
  CreateHeaderLabel(TVYNBounds{40, 30, 540, 20}, u"LB1");
  // The folder box is no caption: it holds the destination, not a text of the language.
  path_edit_ = &Adopt(std::make_unique<TVYNEditButton>(
      Form(), NewControlId(), TVYNBounds{60, 70, 540, 21}, GetText(u"Browse"), 100));
  path_edit_->OnChange = [this] { EditChanged(); };
  path_edit_->OnButtonClick = [this] { Browse(); };
  update_box_ = &CreateCheckBox(TVYNBounds{60, 100, 540, 17}, u"CB1", [this] { OptionsClick(); });
  backup_box_ = &CreateCheckBox(TVYNBounds{60, 120, 540, 17}, u"CB4", [this] { OptionsClick(); });
  CreateHeaderLabel(TVYNBounds{40, 150, 540, 20}, u"LB2");
  portable_button_ = &Adopt(std::make_unique<TVYNRadioButton>(
                                Form(), NewControlId(), TVYNBounds{60, 190, 540, 16}, u"CB3", true),
                            u"CB3");
  portable_button_->OnClick = [this] { ModeClick(); };
  CreateLabel(TVYNBounds{79, 212, 500, 48}, u"CB3Hint", true).SetEnabled(false);
  normal_button_ = &Adopt(std::make_unique<TVYNRadioButton>(Form(), NewControlId(),
                                                            TVYNBounds{60, 248, 540, 16}, u"CB2"),
                          u"CB2");
  normal_button_->OnClick = [this] { ModeClick(); };
  warning_ = &Adopt(std::make_unique<TVYNValidationLabel>(
      Form(), NewControlId(), TVYNBounds{WarningInsetX, 0, PageWidth() - 2 * WarningInsetX, 0},
      String()));
  warning_->SetVisible(false);
}

bool TInstallerPageSetup::CanGoNext() const {
  // The run would refuse any other destination only once it starts.
  return !Installer->DestPath().empty() && DestinationProblem().empty();
}

String TInstallerPageSetup::DestinationProblem() const {
  return GetDestinationProblem(Installer->DestPath(),
                               [](StringView folder) { return platform::FolderExists(folder); });
}

void TInstallerPageSetup::Prepare() {
  UpdateControls();
}

void TInstallerPageSetup::UpdateControls() {
  Changed();
  const TSetupPageState state = GetSetupPageState(*Installer, InstallationFoundElsewhere);
  if (!editing_) path_edit_->SetText(state.Destination);
  update_box_->SetChecked(state.UpdateChecked);
  update_box_->SetVisible(state.UpdateVisible);
  backup_box_->SetChecked(state.BackupChecked);
  backup_box_->SetVisible(state.BackupVisible);
  portable_button_->SetEnabled(state.ModeEnabled);
  normal_button_->SetEnabled(state.ModeEnabled);
  portable_button_->SetChecked(state.Portable);
  normal_button_->SetChecked(!state.Portable);
  const String problem = DestinationProblem();
  if (!problem.empty()) {
    ShowWarning(problem);
  } else {
    ShowWarning(state.WarningKey.empty() ? String() : GetText(state.WarningKey));
  }
}

void TInstallerPageSetup::ShowWarning(const String& text) {
  if (text.empty()) {
    warning_->SetVisible(false);
    return;
  }
  warning_->SetCaption(text);
  // As tall as its text, standing on the bottom of the warning area.
  TVYNBounds bounds = warning_->Bounds();
  bounds.Height = warning_->FittingHeight();
  bounds.Top = PageHeight() - WarningInsetY - bounds.Height;
  warning_->SetBounds(bounds);
  warning_->SetVisible(true);
}

void TInstallerPageSetup::EditChanged() {
  editing_ = true;
  SetDest(path_edit_->Text());
  editing_ = false;
}

void TInstallerPageSetup::SetDest(const String& path) {
  if (path == Installer->DestPath()) return;
  Installer->SetDestPath(path);
  UpdateControls();
}

void TInstallerPageSetup::Browse() {
  const std::optional<String> folder =
      ShowVYNFolderBrowser(Form().Handle(), Installer->DestPath(), FolderBrowserTexts());
  // Cancelling changes nothing.
  if (!folder) return;
  SetDest(GetBrowsedDestination(*folder, Installer->ProductInfo().GetName()));
}

void TInstallerPageSetup::OptionsClick() {
  Installer->SetOption(ioNoBackup, !backup_box_->Checked());
  // The installer clears it again when the destination holds nothing to update.
  Installer->SetOption(ioUpdate, update_box_->Checked());
  UpdateControls();
}

void TInstallerPageSetup::ModeClick() {
  const bool portable = portable_button_->Checked();
  if (const std::optional<String> destination = GetDestinationForMode(*Installer, portable)) {
    SetDest(*destination);
  }
  // The installer clears it again for a destination in a program-files folder.
  Installer->SetOption(ioPortable, portable);
  UpdateControls();
}
