#include "ui/installer_page_win.h"

#include "core/installer.h"
#include "core/installer_errors.h"
#include "core/installer_resources.h"
#include "ui/installer_form_view_info.h"
#include "ui/vyn_form_win.h"

namespace {

// The layout every length is written for: the form's client at 96 DPI.
const TRect DesignClient{0, 0, 640, 480};

TRect DesignPageRect(bool full_screen) {
  return TInstallerFormViewInfo(DesignClient, TInstallerScale{}).GetPageRect(full_screen);
}

TVYNBounds ToBounds(const TRect& rect) {
  return TVYNBounds{rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top};
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
  const platform::ScopedBrush brush(::CreateSolidBrush(colour));
  ::FillRect(dc, &rect, brush.Get());
}

TRIVERTEX Vertex(LONG x, LONG y, COLORREF colour) {
  TRIVERTEX vertex{};
  vertex.x = x;
  vertex.y = y;
  vertex.Red = static_cast<COLOR16>(GetRValue(colour) << 8);
  vertex.Green = static_cast<COLOR16>(GetGValue(colour) << 8);
  vertex.Blue = static_cast<COLOR16>(GetBValue(colour) << 8);
  return vertex;
}

}  // namespace

TVYNPicture LoadInstallerPicture(StringView name) {
  const auto stream = Installer->Resources().GetStream(name);
  TVYNPicture picture;
  if (!picture.LoadFromMemory(stream->Bytes().data(), stream->Bytes().size())) {
    throw EInstallerGeneralError(u"\"" + String(name) + u"\" in the setup archive is no picture");
  }
  return picture;
}

TInstallerPage::TInstallerPage(const TInstallerPageContext& context, StringView class_name,
                               TInstallerPageKind kind)
    : TInstallerCustomPage(class_name, kind),
      form_(context.Form),
      palette_(context.Palette),
      panel_(std::make_unique<TVYNPanel>(context.Form, NewControlId(),
                                         ToBounds(DesignPageRect(IsFullScreen())))) {
  panel_->OnPaint = [this](HDC dc, const RECT& client) { Paint(dc, client); };
}

TInstallerPage::~TInstallerPage() {
  // The controls go before the panel that holds their windows.
  controls_.clear();
}

void TInstallerPage::Initialize() {
  CreateControls();
  Localize();
}

void TInstallerPage::ShowAt(const TRect& bounds) {
  panel_->SetBounds(ToBounds(bounds));
  panel_->SetVisible(true);
  Shown();
}

void TInstallerPage::Hide() {
  panel_->SetVisible(false);
}

bool TInstallerPage::IsShown() const {
  return panel_->Visible();
}

void TInstallerPage::Localize() {
  title_ = GetText(u"Title");
  description_ = GetText(u"Description");
  for (const NamedControl& named : controls_) {
    if (!named.Name.empty()) named.Control->SetCaption(GetText(named.Name));
  }
}

void TInstallerPage::Paint(HDC dc, const RECT& client) {
  if (palette_.PageBackgroundTop == palette_.PageBackgroundBottom) {
    FillSolid(dc, client, palette_.PageBackgroundTop);
    return;
  }
  TRIVERTEX vertices[2] = {Vertex(client.left, client.top, palette_.PageBackgroundTop),
                           Vertex(client.right, client.bottom, palette_.PageBackgroundBottom)};
  GRADIENT_RECT rectangle{0, 1};
  ::GradientFill(dc, vertices, 2, &rectangle, 1, GRADIENT_FILL_RECT_V);
}

int TInstallerPage::PageWidth() const {
  const TRect rect = DesignPageRect(IsFullScreen());
  return rect.Right - rect.Left;
}

int TInstallerPage::PageHeight() const {
  const TRect rect = DesignPageRect(IsFullScreen());
  return rect.Bottom - rect.Top;
}

String TInstallerPage::GetText(StringView key) const {
  return Installer->Resources().GetString(SectionName(), key);
}

TVYNCheckBox& TInstallerPage::CreateCheckBox(const TVYNBounds& bounds, StringView name,
                                             std::function<void()> on_click) {
  auto box = std::make_unique<TVYNCheckBox>(form_, NewControlId(), bounds, String(name));
  box->OnClick = std::move(on_click);
  return Adopt(std::move(box), name);
}

TVYNLabel& TInstallerPage::CreateLabel(const TVYNBounds& bounds, StringView name, bool word_wrap,
                                       const TVYNFontStyle& font) {
  TVYNLabelOptions options;
  options.WordWrap = word_wrap;
  options.Transparent = true;
  return Adopt(
      std::make_unique<TVYNLabel>(form_, NewControlId(), bounds, String(name), options, font),
      name);
}

TVYNLabel& TInstallerPage::CreateHeaderLabel(const TVYNBounds& bounds, StringView name) {
  return CreateLabel(bounds, name, false, TVYNFontStyle{11});
}

int TInstallerPage::NewControlId() {
  // Above the form's own controls' IDs and below the system's reserved range.
  static int next_id = 1000;
  return next_id++;
}

void TInstallerPage::AddNamedControl(std::unique_ptr<TVYNControl> control, StringView name) {
  control->SetParentWindow(panel_->Handle());
  controls_.push_back(NamedControl{String(name), std::move(control)});
}

// Full-screen page.

TInstallerPageFullScreen::TInstallerPageFullScreen(const TInstallerPageContext& context,
                                                   StringView class_name)
    : TInstallerPage(context, class_name, TInstallerPageKind::pkFullScreen) {}

void TInstallerPageFullScreen::CreateControls() {
  side_picture_ =
      LoadInstallerPicture(Form().IsDarkMode() ? u"wizard_dark.png" : u"wizard_light.png");
  body_label_ = &CreateLabel(TVYNBounds{210, 61, 400, 240}, u"L2", true);
  title_label_ = &CreateLabel(TVYNBounds{210, 22, 400, 50}, u"L1", true, TVYNFontStyle{11});
}

void TInstallerPageFullScreen::Paint(HDC dc, const RECT& client) {
  TInstallerPage::Paint(dc, client);
  const TVYNScale scale = Form().Scale();
  const RECT picture{0, 0, scale.Apply(188), scale.Apply(435)};
  side_picture_.Draw(dc, picture, 255);
}
