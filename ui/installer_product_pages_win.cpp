#include "ui/installer_product_pages_win.h"

#include "core/installer.h"
#include "ui/installer_page_class_win.h"

// Integration.

TInstallerPageIntegration::TInstallerPageIntegration(const TInstallerPageContext& context)
    : TInstallerPage(context, u"TInstallerPageIntegration", TInstallerPageKind::pkOrdinary) {}

void TInstallerPageIntegration::CreateControls() {
  const auto box = [this](TChoice& choice, int top) {
    choice.Box =
        &CreateCheckBox(TVYNBounds{60, top, 540, 16}, choice.Name, [this] { WriteOptions(); });
  };
  CreateHeaderLabel(TVYNBounds{40, 30, 540, 20}, u"LB1");
  box(choices_[0], 70);
  box(choices_[1], 90);
  CreateHeaderLabel(TVYNBounds{40, 120, 540, 20}, u"LB2");
  box(choices_[2], 160);
  CreateLabel(TVYNBounds{79, 180, 540, 48}, u"CB4Hint", true).SetEnabled(false);
  box(choices_[3], 230);
  box(choices_[4], 250);
}

bool TInstallerPageIntegration::IsAvailable() const {
  return !Installer->HasOption(ioPortable) && !Installer->HasOption(ioUpdate);
}

void TInstallerPageIntegration::Prepare() {
  const bool default_choice = !Installer->HasOption(ioPortable);
  for (const TChoice& choice : choices_) {
    choice.Box->SetChecked(
        Installer->OptionStore().ReadBool(u"Integration", choice.Key, default_choice));
  }
}

void TInstallerPageIntegration::WriteOptions() {
  for (const TChoice& choice : choices_) {
    Installer->OptionStore().WriteBool(u"Integration", choice.Key, choice.Box->Checked());
  }
}

// Uninstall parameters.

TInstallerPageUninstallParams::TInstallerPageUninstallParams(const TInstallerPageContext& context)
    : TInstallerPage(context, u"TInstallerPageUninstallParams", TInstallerPageKind::pkOrdinary) {}

void TInstallerPageUninstallParams::CreateControls() {
  remove_backups_ =
      &CreateCheckBox(TVYNBounds{44, 40, 480, 17}, u"CB1", [this] { WriteOptions(); });
  remove_content_ =
      &CreateCheckBox(TVYNBounds{44, 65, 480, 17}, u"CB2", [this] { WriteOptions(); });
}

void TInstallerPageUninstallParams::Prepare() {
  remove_backups_->SetChecked(
      Installer->OptionStore().ReadBool(u"Common", u"RemoveBackups", false));
  remove_content_->SetChecked(
      Installer->OptionStore().ReadBool(u"Common", u"RemoveContent", false));
}

void TInstallerPageUninstallParams::WriteOptions() {
  Installer->OptionStore().WriteBool(u"Common", u"RemoveBackups", remove_backups_->Checked());
  Installer->OptionStore().WriteBool(u"Common", u"RemoveContent", remove_content_->Checked());
}

std::vector<TInstallerPageClass> GetProductPageClasses(const TInstallerPageContext& context) {
  return {MakePageClass<TInstallerPageIntegration>(u"TInstallerPageIntegration", context),
          MakePageClass<TInstallerPageUninstallParams>(u"TInstallerPageUninstallParams", context)};
}
