#include "ui/installer_common_pages_win.h"

#include "core/installer_product_info.h"
#include "core/installer_resources.h"
#include "core/installer_summary_builder.h"
#include "platform/exception.h"
#include "ui/installer_page_class_win.h"
#include "ui/vyn_form_win.h"
#include "ui/vyn_message_loop_win.h"
#include "ui/wizard_close_rule.h"

namespace {

constexpr COLORREF ErrorTitleColour = 0x0000FF;    // red
constexpr COLORREF HomePageLinkColour = 0xCC6600;  // red 0, green 102, blue 204

}  // namespace

// Licence.

TInstallerPageLicense::TInstallerPageLicense(const TInstallerPageContext& context)
    : TInstallerPage(context, u"TInstallerPageLicense", TInstallerPageKind::pkOrdinary) {}

void TInstallerPageLicense::CreateControls() {
  // The viewer fills the page above the acceptance box, which sits at the bottom.
  constexpr int BoxHeight = 16;
  const int box_top = PageHeight() - 22 - BoxHeight;
  viewer_ = &Adopt(std::make_unique<TVYNRichViewer>(
      Form(), NewControlId(), TVYNBounds{28, 22, PageWidth() - 56, box_top - 4 - 4 - 22}));
  accept_box_ = &CreateCheckBox(TVYNBounds{28, box_top, PageWidth() - 56, BoxHeight}, u"L1",
                                [this] { Changed(); });
}

bool TInstallerPageLicense::CanGoNext() const {
  return accept_box_ != nullptr && accept_box_->Checked();
}

void TInstallerPageLicense::Prepare() {
  const std::unique_ptr<TMemoryStream> license = Installer->Resources().GetLicense();
  // Without a licence for the language or for English the viewer stays empty.
  if (license) viewer_->LoadFromStream(&license->Bytes());
}

void TInstallerPageLicense::Shown() {
  if (!accept_box_->Checked()) viewer_->SetFocus();
}

// Ready to install.

TInstallerPageReadyToInstall::TInstallerPageReadyToInstall(const TInstallerPageContext& context)
    : TInstallerPage(context, u"TInstallerPageReadyToInstall", TInstallerPageKind::pkOrdinary) {}

void TInstallerPageReadyToInstall::CreateControls() {
  viewer_ = &Adopt(std::make_unique<TVYNRichViewer>(
      Form(), NewControlId(), TVYNBounds{28, 22, PageWidth() - 56, PageHeight() - 44}));
  // For reading only: it takes neither focus nor input.
  viewer_->SetEnabled(false);
}

void TInstallerPageReadyToInstall::Prepare() {
  // Rebuilt on every visit, so it shows the choices as they are now.
  viewer_->SetText(TInstallerSummaryBuilder::BuildForCurrentRun());
}

// Install and uninstall.

TInstallerPageInstall::TInstallerPageInstall(const TInstallerPageContext& context,
                                             StringView class_name, TInstallerPageKind kind)
    : TInstallerPage(context, class_name, kind) {
  Installer->AddListener(this);
}

TInstallerPageInstall::~TInstallerPageInstall() {
  if (Installer != nullptr) Installer->RemoveListener(this);
}

void TInstallerPageInstall::CreateControls() {
  current_bar_ = &Adopt(
      std::make_unique<TVYNProgressBar>(Form(), NewControlId(), TVYNBounds{30, 40, 580, 18}));
  overall_bar_ = &Adopt(
      std::make_unique<TVYNProgressBar>(Form(), NewControlId(), TVYNBounds{30, 65, 580, 18}));
  // No name: Localize leaves it alone once the run reports its first status.
  status_label_ = &CreateLabel(TVYNBounds{30, 16, 580, 18}, u"", false, TVYNFontStyle{8});
  status_label_->SetCaption(GetText(u"L1"));
}

int32_t TInstallerPageInstall::GetProgress() const {
  return overall_bar_ != nullptr ? overall_bar_->Position() : 0;
}

void TInstallerPageInstall::Prepare() {
  try {
    Installer->Start(false);
  } catch (const Exception& error) {
    // The run could not begin (a destination it refuses): the finish page tells why.
    AddError(error.Message());
    finished_ = true;
  }
}

void TInstallerPageInstall::Notify(int32_t code, intptr_t param) {
  const TWizardNotificationScope inside;
  switch (code) {
    case ncFinished: finished_ = true; break;
    case ncProgress: {
      const int current = static_cast<int>(param & 0xFFFF);
      const int overall = static_cast<int>((param >> 16) & 0xFFFF);
      if (current == current_bar_->Position() && overall == overall_bar_->Position()) break;
      current_bar_->SetPosition(current);
      overall_bar_->SetPosition(overall);
      // The window repaints and answers input while the worker waits for this to return.
      static_cast<void>(ProcessPendingMessages());
      break;
    }
    case ncStatusText:
      status_label_->SetCaption(*reinterpret_cast<const String*>(param));
      static_cast<void>(ProcessPendingMessages());
      break;
    default: break;
  }
}

// Finish pages.

void TInstallerPageCustomFinish::CreateControls() {
  TInstallerPageFullScreen::CreateControls();
  error_memo_ = &Adopt(std::make_unique<TVYNMemo>(
      Form(), NewControlId(), TVYNBounds{210, 120, PageWidth() - 230, PageHeight() - 124}));
  error_memo_->SetVisible(false);
}

void TInstallerPageCustomFinish::Prepare() {
  const bool has_errors = Installer->HasErrors();
  error_memo_->SetVisible(has_errors);
  if (!has_errors) return;
  title_label_->SetTextColor(ErrorTitleColour);
  title_label_->SetCaption(GetText(u"E1"));
  body_label_->SetCaption(GetText(u"E2"));
  String lines;
  const TVYNStringList& errors = Installer->Errors();
  for (int i = 0; i < errors.Count(); ++i) lines += errors.Items(i) + u"\r\n";
  error_memo_->SetCaption(lines);
}

void TInstallerPageFinish::CreateControls() {
  TInstallerPageCustomFinish::CreateControls();
  constexpr int LinkHeight = 15;
  TVYNLabelOptions link;
  link.WordWrap = true;
  link.Alignment = TVYNAlignment::Center;
  link.LinkTarget = Installer->ProductInfo().GetHomePage();
  home_page_label_ =
      &Adopt(std::make_unique<TVYNLabel>(
                 Form(), NewControlId(),
                 TVYNBounds{210, PageHeight() - 4 - LinkHeight, PageWidth() - 230, LinkHeight},
                 u"L3", link, TVYNFontStyle{8}),
             u"L3");
  home_page_label_->SetTextColor(HomePageLinkColour);
  const TInstallerScriptGroup& actions = Installer->Resources().Script().Actions;
  for (int n = 1; n <= actions.Count(); ++n) {
    TVYNCheckBox& box =
        CreateCheckBox(TVYNBounds{210, 120 + 24 * (n - 1), 320, 17},
                       u"CB" + Utf8ToString(std::to_string(n)), [this] { WriteActions(); });
    box.SetChecked(true);
    action_boxes_.push_back(&box);
  }
}

void TInstallerPageFinish::Prepare() {
  TInstallerPageCustomFinish::Prepare();
  const TInstallerScriptGroup& actions = Installer->Resources().Script().Actions;
  for (size_t i = 0; i < action_boxes_.size(); ++i) {
    action_boxes_[i]->SetCaption(GetText(actions.Items(static_cast<int>(i)).SourceName()));
    action_boxes_[i]->SetVisible(!error_memo_->Visible());
  }
  WriteActions();
}

void TInstallerPageFinish::WriteActions() {
  const TInstallerScriptGroup& actions = Installer->Resources().Script().Actions;
  for (size_t i = 0; i < action_boxes_.size(); ++i) {
    Installer->OptionStore().WriteBool(u"Actions", actions.Items(static_cast<int>(i)).Name,
                                       action_boxes_[i]->Checked());
  }
}

std::vector<TInstallerPageClass> GetCommonPageClasses(const TInstallerPageContext& context) {
  return {MakePageClass<TInstallerPageWelcome>(u"TInstallerPageWelcome", context),
          MakePageClass<TInstallerPageLicense>(u"TInstallerPageLicense", context),
          MakePageClass<TInstallerPageReadyToInstall>(u"TInstallerPageReadyToInstall", context),
          MakePageClass<TInstallerPageInstall>(u"TInstallerPageInstall", context),
          MakePageClass<TInstallerPageUninstall>(u"TInstallerPageUninstall", context),
          MakePageClass<TInstallerPageFinish>(u"TInstallerPageFinish", context),
          MakePageClass<TInstallerPageUninstallFinish>(u"TInstallerPageUninstallFinish", context)};
}
