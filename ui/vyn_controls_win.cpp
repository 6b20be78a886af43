#include "ui/vyn_controls_win.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>

#include "platform/shell_execute.h"
#include "platform/windows_text.h"
#include "ui/vyn_form_win.h"

namespace {

constexpr wchar_t ProgressBarClass[] = L"TVYNProgressBar";
// The position, kept with the window so it can be read before the object is attached.
constexpr int ProgressBarExtraBytes = sizeof(LONG_PTR);

TVYNWindowTemplate WindowTemplate(const wchar_t* window_class, DWORD style, int id,
                                  DWORD ex_style = 0) {
  return TVYNWindowTemplate{window_class, style | WS_VISIBLE, ex_style, id};
}

DWORD LabelStyle(const TVYNLabelOptions& options) {
  DWORD style = SS_NOPREFIX;
  if (!options.LinkTarget.empty()) style |= SS_NOTIFY;  // STN_CLICKED
  if (!options.WordWrap) return style | SS_LEFTNOWORDWRAP;
  switch (options.Alignment) {
    case TVYNAlignment::Center: return style | SS_CENTER;
    case TVYNAlignment::Right: return style | SS_RIGHT;
    case TVYNAlignment::Left: break;
  }
  return style | SS_LEFT;
}

TVYNFontStyle LinkFont(TVYNFontStyle font, const TVYNLabelOptions& options) {
  if (!options.LinkTarget.empty()) font.Underline = true;
  return font;
}

void SetCheck(HWND window, bool checked) {
  if (window != nullptr)
    ::SendMessageW(window, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// Visual styles draw a check box's or radio button's text in the theme's colour and ignore
// WM_CTLCOLORSTATIC, which leaves black text on the dark background; without them the text
// takes the form's colours in both looks.
void UseFormColours(HWND window) {
  if (window != nullptr) ::SetWindowTheme(window, L"", L"");
}

bool GetCheck(HWND window) {
  return window != nullptr && ::SendMessageW(window, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace

// Button.

TVYNButton::TVYNButton(TVYNForm& form, int id, const TVYNBounds& bounds, const String& caption)
    // Owner-drawn so that it takes the dark look too; the default frame is the form's business
    // (DM_GETDEFID), which owner-drawn buttons cannot carry in their style.
    : TVYNControl(form, WindowTemplate(L"BUTTON", BS_OWNERDRAW | WS_TABSTOP, id), bounds) {
  SetCaption(caption);
}

bool TVYNButton::IsDefault() const {
  return Form().DefaultButtonId() == Id();
}

void TVYNButton::SetDefault(bool is_default) {
  // The previous default button loses its accent frame.
  if (const HWND previous = ::GetDlgItem(Form().Handle(), Form().DefaultButtonId())) {
    ::InvalidateRect(previous, nullptr, TRUE);
  }
  if (is_default) {
    Form().SetDefaultButtonId(Id());
  } else if (IsDefault()) {
    Form().SetDefaultButtonId(0);
  }
  Repaint(false);
}

void TVYNButton::Command(WORD notification) {
  if (notification == BN_CLICKED && OnClick) OnClick();
}

bool TVYNButton::DrawItem(const DRAWITEMSTRUCT& item) {
  const TVYNLook& look = Form().Look();
  const bool enabled = (item.itemState & ODS_DISABLED) == 0;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const bool focused = (item.itemState & ODS_FOCUS) != 0;
  const HDC dc = item.hDC;
  RECT rect = item.rcItem;

  const platform::ScopedBrush face(::CreateSolidBrush(look.ButtonFace));
  const platform::ScopedPen border(::CreatePen(
      PS_SOLID, 1, enabled && (IsDefault() || focused) ? look.Accent : look.ButtonBorder));
  {
    const platform::ScopedSelectObject select_brush(dc, face.Get());
    const platform::ScopedSelectObject select_pen(dc, border.Get());
    ::Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
  }

  if (pressed) ::OffsetRect(&rect, 1, 1);
  const String caption = Caption();
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, enabled ? look.ButtonText : look.DisabledText);
  ::DrawTextW(dc, ToWide(caption), static_cast<int>(caption.size()), &rect,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_HIDEPREFIX);
  if (focused && (item.itemState & ODS_NOFOCUSRECT) == 0) {
    RECT focus = item.rcItem;
    ::InflateRect(&focus, -3, -3);
    ::DrawFocusRect(dc, &focus);
  }
  return true;
}

// Check box.

TVYNCheckBox::TVYNCheckBox(TVYNForm& form, int id, const TVYNBounds& bounds, const String& caption)
    : TVYNControl(form, WindowTemplate(L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, id), bounds) {
  UseFormColours(Handle());
  SetCaption(caption);
}

bool TVYNCheckBox::Checked() const {
  return GetCheck(Handle());
}

void TVYNCheckBox::SetChecked(bool checked) {
  SetCheck(Handle(), checked);
}

void TVYNCheckBox::Command(WORD notification) {
  if (notification == BN_CLICKED && OnClick) OnClick();
}

// Radio button.

TVYNRadioButton::TVYNRadioButton(TVYNForm& form, int id, const TVYNBounds& bounds,
                                 const String& caption, bool starts_group)
    : TVYNControl(
          form,
          WindowTemplate(L"BUTTON", BS_AUTORADIOBUTTON | WS_TABSTOP | (starts_group ? WS_GROUP : 0),
                         id),
          bounds) {
  UseFormColours(Handle());
  SetCaption(caption);
}

bool TVYNRadioButton::Checked() const {
  return GetCheck(Handle());
}

void TVYNRadioButton::SetChecked(bool checked) {
  SetCheck(Handle(), checked);
}

void TVYNRadioButton::Command(WORD notification) {
  if (notification == BN_CLICKED && OnClick) OnClick();
}

// Label.

TVYNLabel::TVYNLabel(TVYNForm& form, int id, const TVYNBounds& bounds, const String& caption,
                     const TVYNLabelOptions& options, const TVYNFontStyle& font)
    : TVYNControl(form, WindowTemplate(L"STATIC", LabelStyle(options), id), bounds,
                  LinkFont(font, options)),
      options_(options) {
  if (options_.Transparent && Handle() != nullptr) {
    // Labels may overlap their neighbours (a page's title runs into the body text below it, a
    // hint into the radio button under it). A see-through label clips nothing of theirs and
    // is not clipped by them, so neither loses the part of its text the other's empty area
    // would cover.
    ::SetWindowLongW(Handle(), GWL_STYLE, ::GetWindowLongW(Handle(), GWL_STYLE) & ~WS_CLIPSIBLINGS);
    ::SetWindowLongW(Handle(), GWL_EXSTYLE,
                     ::GetWindowLongW(Handle(), GWL_EXSTYLE) | WS_EX_TRANSPARENT);
  }
  SetCaption(caption);
}

void TVYNLabel::Command(WORD notification) {
  if (notification != STN_CLICKED || options_.LinkTarget.empty()) return;
  if (OnLinkClick) {
    OnLinkClick(options_.LinkTarget);
    return;
  }
  // A link that cannot be opened leaves the wizard as it was: there is nothing to undo.
  const platform::ShellApartment apartment;
  (void)platform::ShellOpen(options_.LinkTarget, u"", u"", platform::ShowNormal);
}

void TVYNLabel::SetTextColor(std::optional<COLORREF> colour) {
  text_colour_ = colour;
  Repaint(true);
}

void TVYNLabel::SetBackgroundColor(std::optional<COLORREF> colour) {
  background_colour_ = colour;
  background_brush_.Reset(colour ? ::CreateSolidBrush(*colour) : nullptr);
  Repaint(true);
}

HBRUSH TVYNLabel::ControlColor(HDC dc) {
  const HBRUSH background = TVYNControl::ControlColor(dc);
  if (!options_.LinkTarget.empty() && Enabled()) ::SetTextColor(dc, Form().Look().Link);
  if (text_colour_ && Enabled()) ::SetTextColor(dc, *text_colour_);
  if (background_colour_) {
    ::SetBkColor(dc, *background_colour_);
    return background_brush_.Get();
  }
  if (!options_.Transparent) return background;
  ::SetBkMode(dc, TRANSPARENT);
  return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

HCURSOR TVYNLabel::Cursor() const {
  return options_.LinkTarget.empty() ? nullptr : ::LoadCursorW(nullptr, IDC_HAND);
}

// Progress bar.

TVYNProgressBar::TVYNProgressBar(TVYNForm& form, int id, const TVYNBounds& bounds)
    : TVYNControl(
          form,
          WindowTemplate(
              RegisterVYNControlClass(ProgressBarClass, WindowProc, ProgressBarExtraBytes), 0, id),
          bounds) {
  ::SetWindowLongPtrW(Handle(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

int TVYNProgressBar::Position() const {
  return Handle() == nullptr ? 0 : static_cast<int>(::SendMessageW(Handle(), PBM_GETPOS, 0, 0));
}

void TVYNProgressBar::SetPosition(int position) {
  if (Handle() != nullptr) ::SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

LRESULT CALLBACK TVYNProgressBar::WindowProc(HWND window, UINT message, WPARAM wparam,
                                             LPARAM lparam) {
  switch (message) {
    case PBM_SETPOS: {
      const LONG_PTR previous = ::GetWindowLongPtrW(window, 0);
      const int position = std::clamp(static_cast<int>(static_cast<INT_PTR>(wparam)), 0, 100);
      if (position != previous) {
        ::SetWindowLongPtrW(window, 0, position);
        ::InvalidateRect(window, nullptr, FALSE);
      }
      return previous;  // as the system's bar does
    }
    case PBM_GETPOS: return ::GetWindowLongPtrW(window, 0);
    case PBM_GETRANGE:
      // The range is fixed; a driver that asks gets the system's answer for 0..100.
      if (lparam != 0) *reinterpret_cast<PBRANGE*>(lparam) = PBRANGE{0, 100};
      return wparam != 0 ? 0 : 100;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = ::BeginPaint(window, &paint);
      RECT client;
      ::GetClientRect(window, &client);
      const auto* bar =
          reinterpret_cast<const TVYNProgressBar*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
      const TVYNLook look = bar != nullptr ? bar->Form().Look() : TVYNLook::Light();
      const int position = static_cast<int>(::GetWindowLongPtrW(window, 0));
      RECT filled = client;
      filled.right = client.left + ::MulDiv(client.right - client.left, position, 100);
      RECT rest = client;
      rest.left = filled.right;
      const platform::ScopedBrush accent(::CreateSolidBrush(look.Accent));
      const platform::ScopedBrush background(::CreateSolidBrush(look.ProgressBackground));
      ::FillRect(dc, &filled, accent.Get());
      ::FillRect(dc, &rest, background.Get());
      ::EndPaint(window, &paint);
      return 0;
    }
    default: return ::DefWindowProcW(window, message, wparam, lparam);
  }
}

// Memo.

TVYNMemo::TVYNMemo(TVYNForm& form, int id, const TVYNBounds& bounds, const String& text)
    : TVYNControl(
          form,
          WindowTemplate(L"EDIT",
                         ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP, id,
                         WS_EX_CLIENTEDGE),
          bounds) {
  SetCaption(text);
}
