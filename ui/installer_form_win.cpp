#include "ui/installer_form_win.h"

#include "core/installer_product_info.h"
#include "core/installer_resources.h"
#include "platform/message_box.h"
#include "platform/windows_text.h"
#include "ui/installer_canvas.h"
#include "ui/installer_common_pages_win.h"
#include "ui/installer_form_pages.h"
#include "ui/installer_form_view_info.h"
#include "ui/installer_product_pages_win.h"
#include "ui/wizard_buttons.h"
#include "ui/wizard_close_rule.h"

namespace {

constexpr int DesignClientWidth = 640;
constexpr int DesignClientHeight = 480;
const TRect DesignClient{0, 0, DesignClientWidth, DesignClientHeight};
constexpr int HeaderLineHeight = 1;
constexpr int TitlePointSize = 11;
constexpr int DescriptionPointSize = 8;

TVYNFormOptions FormOptions(int dpi) {
  TVYNFormOptions options;
  options.ClassName = u"TInstallerForm";
  options.ClientWidth = DesignClientWidth;
  options.ClientHeight = DesignClientHeight;
  options.Dpi = dpi;
  options.ReadDarkMode = ReadDarkModeFlag;
  options.QuitOnDestroy = true;
  return options;
}

String CommonText(StringView key) {
  return Installer->Resources().GetString(u"Common", key);
}

TRect ToRect(const RECT& rect) {
  return TRect{rect.left, rect.top, rect.right, rect.bottom};
}

RECT ToRECT(const TRect& rect) {
  return RECT{rect.Left, rect.Top, rect.Right, rect.Bottom};
}

void FillSolid(HDC dc, const TRect& rect, COLORREF colour) {
  const RECT area = ToRECT(rect);
  const platform::ScopedBrush brush(::CreateSolidBrush(colour));
  ::FillRect(dc, &area, brush.Get());
}

// The strip's arithmetic paints through this onto the window's DC.
class TGdiCanvas : public TInstallerCanvas {
 public:
  explicit TGdiCanvas(HDC dc) : dc_(dc) {}
  void FillRect(const TRect& rect, TColorRef colour) override { FillSolid(dc_, rect, colour); }

 private:
  HDC dc_;
};

TInstallerScale ToInstallerScale(const TVYNScale& scale) {
  return TInstallerScale{scale.Numerator, scale.Denominator};
}

}  // namespace

TInstallerForm::TInstallerForm(int dpi)
    : TVYNForm(FormOptions(dpi)), palette_(GetInstallerPalette(IsDarkMode())) {
  header_picture_ = LoadInstallerPicture(u"header.png");
  header_dark_picture_ = LoadInstallerPicture(u"header_dark.png");
  // Created in Tab order: Back, then Next.
  back_button_ = std::make_unique<TVYNButton>(*this, WizardBackButtonId,
                                              TVYNBounds{384, 447, 121, 25}, u"bBack");
  next_button_ = std::make_unique<TVYNButton>(*this, WizardNextButtonId,
                                              TVYNBounds{511, 447, 121, 25}, u"bNext");
  next_button_->SetDefault(true);
  TVYNLabelOptions version_options;
  version_options.WordWrap = false;
  // Painted opaque in the footer colour (see ApplyPalette), so it needs nothing behind it.
  version_options.Transparent = false;
  version_label_ = std::make_unique<TVYNLabel>(*this, WizardVersionLabelId,
                                               TVYNBounds{12, 447, 257, 25}, u"", version_options);
  back_button_->OnClick = [this] { BackClick(); };
  next_button_->OnClick = [this] { NextClick(); };
  OnCloseQuery = [this] { return CloseQuery(); };
  OnColorSchemeChanged = [this] { ColorSchemeChanged(); };
  OnScaleChanged = [this] { UpdateButtons(); };
  ApplyPalette();

  // Registered before the pages, so the install page hears each notification first.
  listening_.emplace(this);
  CreatePages();
  Localize();
  UpdateButtons();
  SetActivePage(static_cast<TInstallerPage*>(pages_.First()));
}

TInstallerForm::~TInstallerForm() = default;

void TInstallerForm::CreatePages() {
  const TInstallerPageContext context{*this, palette_};
  page_classes_ = GetCommonPageClasses(context);
  for (TInstallerPageClass& page_class : GetProductPageClasses(context)) {
    page_classes_.push_back(std::move(page_class));
  }
  CreateInstallerPages(pages_, Installer->ProductInfo(), Installer->Mode(),
                       Installer->HasOption(ioAuto), [this](StringView name) {
                         for (const TInstallerPageClass& page_class : page_classes_) {
                           if (page_class.Name == name) return &page_class;
                         }
                         return static_cast<const TInstallerPageClass*>(nullptr);
                       });
}

void TInstallerForm::Localize() {
  ::SetWindowTextW(Handle(), ToWide(CommonText(u"Caption")));
  back_button_->SetCaption(CommonText(u"bBack"));
  next_button_->SetCaption(CommonText(u"bNext"));
  version_label_->SetCaption(Installer->ProductInfo().GetFullVersion());
}

void TInstallerForm::UpdateButtons() {
  const TWizardButtonState state = GetWizardButtonState(pages_, active_page_, Installer->State());
  back_button_->SetVisible(state.BackVisible);
  next_button_->SetEnabled(state.NextEnabled);
  next_button_->SetCaption(CommonText(state.NextCaptionKey));
  if (Handle() != nullptr) {
    ::EnableMenuItem(::GetSystemMenu(Handle(), FALSE), SC_CLOSE,
                     MF_BYCOMMAND | (state.CloseEnabled ? MF_ENABLED : MF_GRAYED));
  }
  RECT client{};
  if (Handle() != nullptr) ::GetClientRect(Handle(), &client);
  progress_view_info_.Calculate(
      TInstallerFormViewInfo(ToRect(client), ToInstallerScale(Scale())).GetProgressRect(),
      ToInstallerScale(Scale()));
}

void TInstallerForm::SetActivePage(TInstallerPage* page) {
  if (page == active_page_) return;
  if (active_page_ != nullptr) active_page_->Hide();
  active_page_ = nullptr;
  if (page != nullptr) {
    active_page_ = page;
    page->Prepare();
    page->ShowAt(
        TInstallerFormViewInfo(DesignClient, TInstallerScale{}).GetPageRect(page->IsFullScreen()));
  }
  UpdateButtons();
  // Enter goes on from the start: Next takes the focus unless a page gave it to a control.
  const HWND focus = ::GetFocus();
  if ((focus == nullptr || !::IsChild(Handle(), focus) || !::IsWindowVisible(focus)) &&
      next_button_->Enabled()) {
    next_button_->SetFocus();
  }
  if (Handle() != nullptr) ::InvalidateRect(Handle(), nullptr, FALSE);
}

void TInstallerForm::NextClick() {
  const TWizardMove move = GetNextClickMove(pages_, active_page_);
  if (move.Step == TWizardStep::wsMove) SetActivePage(static_cast<TInstallerPage*>(move.Target));
  if (move.Step == TWizardStep::wsClose) Close();
}

void TInstallerForm::BackClick() {
  const TWizardMove move = GetBackClickMove(pages_, active_page_);
  if (move.Step == TWizardStep::wsMove) SetActivePage(static_cast<TInstallerPage*>(move.Target));
}

bool TInstallerForm::CloseQuery() {
  TWizardCloseCallbacks callbacks;
  callbacks.AskQuestion = [this](StringView key, uint32_t flags) {
    String caption(static_cast<size_t>(::GetWindowTextLengthW(Handle())) + 1, u'\0');
    caption.resize(static_cast<size_t>(::GetWindowTextW(
        Handle(), reinterpret_cast<wchar_t*>(caption.data()), static_cast<int>(caption.size()))));
    return platform::ShowMessageBox(Handle(), CommonText(key), caption, flags) == IDOK;
  };
  callbacks.StopThread = [this] {
    if (Installer->State() == isRunning) cancelled_by_user_ = true;
    Installer->StopThread();
  };
  const TWizardCloseDecision decision =
      DecideWizardClose(Installer->State(), TWizardNotificationScope::Inside(), callbacks);
  if (decision == TWizardCloseDecision::cdDefer) close_pending_ = true;
  if (decision == TWizardCloseDecision::cdKeepOpen) return false;
  if (decision == TWizardCloseDecision::cdClose && Installer->State() == isIdle) {
    cancelled_by_user_ = true;
  }
  return decision == TWizardCloseDecision::cdClose;
}

void TInstallerForm::Notify(int32_t code, intptr_t /*param*/) {
  {
    const TWizardNotificationScope inside;
    switch (GetWizardNotifyReaction(code, Installer->HasOption(ioAuto), Installer->HasErrors())) {
      case TWizardNotifyReaction::nrClose: Close(); break;
      case TWizardNotifyReaction::nrNextClick: NextClick(); break;
      case TWizardNotifyReaction::nrUpdateButtons: UpdateButtons(); break;
      case TWizardNotifyReaction::nrInvalidate:
        if (Handle() != nullptr) ::InvalidateRect(Handle(), nullptr, FALSE);
        break;
      case TWizardNotifyReaction::nrIgnore: break;
    }
  }
  // The worker waits for this notification to return, so a close asked for while it was being
  // handled is repeated from the message loop, where waiting for the worker is safe.
  if (close_pending_ && !TWizardNotificationScope::Inside() && Handle() != nullptr) {
    close_pending_ = false;
    ::PostMessageW(Handle(), WM_CLOSE, 0, 0);
  }
}

LRESULT TInstallerForm::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  // Once the run has ended Close is disabled in the system menu, and with it the close box
  // and Alt+F4: Finish is the way out. Not every system checks the menu item by itself.
  if (message == WM_SYSCOMMAND && (wparam & 0xFFF0) == SC_CLOSE && Handle() != nullptr &&
      (::GetMenuState(::GetSystemMenu(Handle(), FALSE), SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED) != 0) {
    return 0;
  }
  return TVYNForm::HandleMessage(message, wparam, lparam);
}

void TInstallerForm::ColorSchemeChanged() {
  palette_ = GetInstallerPalette(IsDarkMode());
  ApplyPalette();
}

void TInstallerForm::ApplyPalette() {
  TVYNLook look = IsDarkMode() ? TVYNLook::Dark() : TVYNLook::Light();
  look.Background = palette_.PageBackgroundTop;
  look.Accent = palette_.Accent;
  SetLook(look);
  // Over the footer, which is not the look's background: painted opaque in the footer colour.
  version_label_->SetBackgroundColor(palette_.Footer);
  version_label_->SetTextColor(palette_.VersionText);
}

void TInstallerForm::Paint(HDC dc, const RECT& client_area) {
  const TRect client = ToRect(client_area);
  const TVYNScale scale = Scale();
  const TInstallerFormViewInfo view_info(client, ToInstallerScale(scale));
  FillSolid(dc, client, palette_.PageBackgroundTop);

  const TRect footer = view_info.GetFooterRect();
  FillSolid(dc, footer, palette_.Footer);
  FillSolid(dc, TRect{footer.Left, footer.Top, footer.Right, footer.Top + 1}, palette_.Footer);
  FillSolid(dc, TRect{footer.Left, footer.Top + 1, footer.Right, footer.Top + 2},
            palette_.FooterLine);

  const TRect header = view_info.GetHeaderRect();
  (IsDarkMode() ? header_dark_picture_ : header_picture_).Draw(dc, ToRECT(header), 255);
  FillSolid(dc,
            TRect{header.Left, header.Bottom - scale.Apply(HeaderLineHeight), header.Right,
                  header.Bottom},
            palette_.Accent);
  PaintHeaderTexts(dc, view_info.GetTitleTextRect());

  TGdiCanvas canvas(dc);
  progress_view_info_.Draw(canvas, active_page_, palette_);
}

void TInstallerForm::PaintHeaderTexts(HDC dc, const TRect& area) {
  if (active_page_ == nullptr) return;
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, palette_.HeaderText);
  const auto draw = [&](const String& text, int point_size, bool at_bottom) {
    const platform::ScopedFont font = CreateVYNFont(TVYNFontStyle{point_size}, Dpi());
    const platform::ScopedSelectObject select(dc, font.Get());
    RECT measured{area.Left, 0, area.Right, 0};
    ::DrawTextW(dc, ToWide(text), static_cast<int>(text.size()), &measured,
                DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    const int height = measured.bottom - measured.top;
    // A text wider than the area ends in an ellipsis rather than being cut off at its left.
    RECT target{area.Left, at_bottom ? area.Bottom - height : area.Top, area.Right,
                at_bottom ? area.Bottom : area.Top + height};
    ::DrawTextW(dc, ToWide(text), static_cast<int>(text.size()), &target,
                DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  };
  draw(active_page_->Title(), TitlePointSize, false);
  draw(active_page_->Description(), DescriptionPointSize, true);
}
