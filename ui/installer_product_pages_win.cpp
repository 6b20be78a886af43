#include "ui/installer_product_pages_win.h"

#include "core/installer.h"
#include "core/installer_errors.h"
#include "core/installer_resources.h"
#include "support/format_text.h"
#include "ui/installer_page_class_win.h"
#include "ui/installer_page_setup_win.h"
#include "ui/vyn_form_win.h"

// Add-ons.

namespace {

std::unique_ptr<TVYNStringList> LoadAddonsInfo() {
  return Installer->Resources().GetStringList(u"addons.ini");
}

TVYNPicture LoadAddonsPicture(const TVYNStringList& addons_info) {
  const String name = addons_info.GetValue(u"I0");
  // Otherwise the package would be asked for a file without a name.
  if (name.empty()) throw EInstallerGeneralError(u"\"addons.ini\" names no picture (\"I0\")");
  return LoadInstallerPicture(name);
}

}  // namespace

TInstallerPageAddons::TInstallerPageAddons(const TInstallerPageContext& context)
    : TInstallerPage(context, u"TInstallerPageAddons", TInstallerPageKind::pkOrdinary),
      addons_info_(LoadAddonsInfo()),
      picture_(LoadAddonsPicture(*addons_info_)) {}

void TInstallerPageAddons::CreateControls() {
  // A heading that may wrap: the add-on's name can be long in some languages.
  CreateLabel(TVYNBounds{40, 30, 300, 40}, u"L0", true, TVYNFontStyle{11});
  viewer_box_ = &CreateCheckBox(TVYNBounds{60, 100, 500, 17}, u"CB1", [this] { WriteOptions(); });
  extensions_box_ =
      &CreateCheckBox(TVYNBounds{60, 120, 500, 17}, u"CB2", [this] { WriteOptions(); });
  shortcuts_box_ =
      &CreateCheckBox(TVYNBounds{60, 140, 500, 17}, u"CB3", [this] { WriteOptions(); });
  name_label_ = &Adopt(
      std::make_unique<TVYNFormattedLabel>(Form(), NewControlId(), TVYNBounds{40, 280, 500, 20}));
  links_label_ = &Adopt(
      std::make_unique<TVYNFormattedLabel>(Form(), NewControlId(), TVYNBounds{40, 310, 550, 50}));
}

void TInstallerPageAddons::Localize() {
  TInstallerPage::Localize();
  name_label_->SetCaption(FormatText(GetText(u"L1"), {addons_info_->GetValue(u"L0")}));
  links_label_->SetCaption(
      FormatText(GetText(u"L2"), {addons_info_->GetValue(u"L1"), addons_info_->GetValue(u"L2")}));
}

void TInstallerPageAddons::Paint(HDC dc, const RECT& client) {
  TInstallerPage::Paint(dc, client);
  const TVYNScale scale = Form().Scale();
  const int width = scale.Apply(picture_.Width());
  const int right = client.right - scale.Apply(10);
  const RECT target{right - width, client.top, right, client.top + scale.Apply(picture_.Height())};
  picture_.Draw(dc, target, 255);
}

void TInstallerPageAddons::Prepare() {
  TVYNIniFile& options = Installer->OptionStore();
  viewer_box_->SetChecked(options.ReadBool(u"Common", u"AddonsViewer", true));
  shortcuts_box_->SetChecked(options.ReadBool(u"Common", u"AddonsShortcuts", true));
  extensions_box_->SetChecked(options.ReadBool(u"Common", u"AddonsExtensions", true));
  WriteOptions();
}

void TInstallerPageAddons::WriteOptions() {
  TVYNIniFile& options = Installer->OptionStore();
  options.WriteBool(u"Common", u"AddonsViewer", viewer_box_->Checked());
  options.WriteBool(u"Common", u"AddonsExtensions", extensions_box_->Checked());
  options.WriteBool(u"Common", u"AddonsShortcuts", shortcuts_box_->Checked());
}

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
  return {MakePageClass<TInstallerPageSetup>(u"TInstallerPageSetup", context),
          MakePageClass<TInstallerPageAddons>(u"TInstallerPageAddons", context),
          MakePageClass<TInstallerPageIntegration>(u"TInstallerPageIntegration", context),
          MakePageClass<TInstallerPageUninstallParams>(u"TInstallerPageUninstallParams", context)};
}
