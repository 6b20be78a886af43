#include "ui/vyn_edit_button_win.h"

#include <algorithm>

#include "platform/exception.h"
#include "platform/windows_text.h"
#include "ui/vyn_form_win.h"

namespace {

constexpr wchar_t EditButtonClass[] = L"TVYNEditButton";

}  // namespace

TVYNEditButton::TVYNEditButton(TVYNForm& form, int id, const TVYNBounds& bounds,
                               const String& button_caption, int button_width)
    // WS_EX_CONTROLPARENT lets Tab walk into the container and reach the edit and the button
    // as if they sat on the form itself. The container gets no WS_TABSTOP of its own.
    : TVYNControl(form,
                  TVYNWindowTemplate{RegisterVYNControlClass(EditButtonClass, WindowProc, 0),
                                     WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, id},
                  bounds),
      // Made on the form and moved into the container below; it stays a control of the form,
      // which draws it and routes its clicks through the container.
      button_(form, id, TVYNBounds{}, button_caption),
      button_width_(std::clamp(button_width, 0, bounds.Width)) {
  edit_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 0, 0,
                            Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            ::GetModuleHandleW(nullptr), nullptr);
  if (edit_ == nullptr) RaiseLastOSError(u"An edit box could not be created.");
  // Only now: had the edit failed, the base's destructor would destroy the container with
  // this object half gone.
  ::SetWindowLongPtrW(Handle(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  // After the edit, in the Tab order as on the screen.
  button_.SetParentWindow(Handle());
  button_.OnClick = [this] {
    if (OnButtonClick) OnButtonClick();
  };
  ApplyScale();
}

TVYNEditButton::~TVYNEditButton() {
  // The container outlives this object's own part by the base's destructor; from here on its
  // messages must not reach this object.
  if (Handle() != nullptr) ::SetWindowLongPtrW(Handle(), GWLP_USERDATA, 0);
}

String TVYNEditButton::Text() const {
  const HWND edit = EditHandle();
  if (edit == nullptr) return String();
  String text(static_cast<size_t>(::GetWindowTextLengthW(edit)) + 1, u'\0');
  const int length = ::GetWindowTextW(edit, reinterpret_cast<wchar_t*>(text.data()),
                                      static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(length > 0 ? length : 0));
  return text;
}

void TVYNEditButton::SetText(const String& text) {
  const HWND edit = EditHandle();
  if (edit == nullptr) return;
  // The edit reports the change (EN_CHANGE) from inside WM_SETTEXT, before this returns.
  setting_text_ = true;
  ::SetWindowTextW(edit, ToWide(text));
  setting_text_ = false;
}

void TVYNEditButton::SetButtonWidth(int width) {
  button_width_ = std::clamp(width, 0, Bounds().Width);
  LayOut();
}

void TVYNEditButton::ApplyScale() {
  TVYNControl::ApplyScale();  // places the container and hands its font to the edit
  LayOut();
}

void TVYNEditButton::LayOut() {
  if (Handle() == nullptr || edit_ == nullptr) return;
  const TVYNBounds& bounds = Bounds();
  const int button_width = std::min(button_width_, bounds.Width);
  const int edit_width = bounds.Width - button_width;
  // The button's left edge is scaled from the same 96-DPI value as the edit's width, so the
  // two meet without a gap or an overlap at every scale.
  ::SetWindowPos(edit_, nullptr, 0, 0, Form().Scale().Apply(edit_width),
                 Form().Scale().Apply(bounds.Height), SWP_NOZORDER | SWP_NOACTIVATE);
  if (button_.Font() != Font()) button_.SetFont(Font());
  button_.SetBounds(TVYNBounds{edit_width, 0, button_width, bounds.Height});
}

LRESULT CALLBACK TVYNEditButton::WindowProc(HWND window, UINT message, WPARAM wparam,
                                            LPARAM lparam) {
  auto* control = reinterpret_cast<TVYNEditButton*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (control == nullptr) return ::DefWindowProcW(window, message, wparam, lparam);
  return control->HandleMessage(message, wparam, lparam);
}

LRESULT TVYNEditButton::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  const HWND window = Handle();
  switch (message) {
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(lparam) == edit_) {
        if (HIWORD(wparam) == EN_CHANGE && !setting_text_ && OnChange) OnChange();
        return 0;
      }
      // The button's clicks reach the form, which routes them to the button's object.
      return ::SendMessageW(Form().Handle(), message, wparam, lparam);
    case WM_DRAWITEM:
    case WM_NOTIFY:
    case WM_CTLCOLORBTN: return ::SendMessageW(Form().Handle(), message, wparam, lparam);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
      // A disabled or read-only edit asks with WM_CTLCOLORSTATIC; both take the look's colours,
      // so the dark look gets light text on its dark background.
      const TVYNLook& look = Form().Look();
      const auto dc = reinterpret_cast<HDC>(wparam);
      ::SetTextColor(dc, ::IsWindowEnabled(edit_) ? look.Text : look.DisabledText);
      ::SetBkColor(dc, look.Background);
      return reinterpret_cast<LRESULT>(Form().BackgroundBrush());
    }
    case WM_SETFONT: ::SendMessageW(edit_, WM_SETFONT, wparam, lparam); return 0;
    case WM_ENABLE:
      // SetEnabled disables the container; its children must show it, and refuse input.
      ::EnableWindow(edit_, static_cast<BOOL>(wparam));
      ::EnableWindow(button_.Handle(), static_cast<BOOL>(wparam));
      return 0;
    case WM_SETFOCUS:
      // Focus given to the control (SetFocus) belongs to its edit.
      ::SetFocus(edit_);
      return 0;
    case WM_ERASEBKGND: return 1;  // WM_PAINT fills everything the children leave
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = ::BeginPaint(window, &paint);
      RECT client;
      ::GetClientRect(window, &client);
      ::FillRect(dc, &client, Form().BackgroundBrush());
      ::EndPaint(window, &paint);
      return 0;
    }
    case WM_NCDESTROY:
      // The container went without this object (with the window it sits on): nothing may use
      // the windows any more.
      ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      edit_ = nullptr;
      button_.Detach();
      Detach();
      break;
    default: break;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}
