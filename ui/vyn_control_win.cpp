#include "ui/vyn_control_win.h"

#include <utility>

#include "platform/exception.h"
#include "platform/windows_text.h"
#include "ui/vyn_form_win.h"

const wchar_t* RegisterVYNControlClass(const wchar_t* name, WNDPROC procedure, int extra_bytes) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  if (::GetClassInfoExW(::GetModuleHandleW(nullptr), name, &window_class)) return name;
  window_class = WNDCLASSEXW{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = procedure;
  window_class.cbWndExtra = extra_bytes;
  window_class.hInstance = ::GetModuleHandleW(nullptr);
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  window_class.lpszClassName = name;
  if (::RegisterClassExW(&window_class) == 0) {
    RaiseLastOSError(u"A window class of the wizard's controls could not be registered.");
  }
  return name;
}

TVYNControl::TVYNControl(TVYNForm& form, const TVYNWindowTemplate& window, const TVYNBounds& bounds,
                         const TVYNFontStyle& font)
    : form_(form), id_(window.Id), bounds_(bounds), font_style_(font) {
  // Created in the order the form builds them, which is also the Tab order.
  handle_ = ::CreateWindowExW(window.ExStyle, window.WindowClass, L"",
                              window.Style | WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, form.Handle(),
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)),
                              ::GetModuleHandleW(nullptr), nullptr);
  if (handle_ == nullptr) RaiseLastOSError(u"A control could not be created.");
  form_.AddControl(this);
  ApplyScale();
}

TVYNControl::~TVYNControl() {
  form_.RemoveControl(this);
  if (handle_ != nullptr) ::DestroyWindow(handle_);
}

void TVYNControl::SetBounds(const TVYNBounds& bounds) {
  bounds_ = bounds;
  ApplyScale();
}

void TVYNControl::SetParentWindow(HWND parent) {
  if (handle_ == nullptr || parent == nullptr) return;
  ::SetParent(handle_, parent);
  // SetParent puts the window first among its new siblings; the order of the children is the
  // Tab order, so controls moved one by one would be reached backwards. Last keeps the order
  // in which they were made.
  ::SetWindowPos(handle_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ApplyScale();
}

String TVYNControl::Caption() const {
  if (handle_ == nullptr) return String();
  String text(static_cast<size_t>(::GetWindowTextLengthW(handle_)) + 1, u'\0');
  const int length = ::GetWindowTextW(handle_, reinterpret_cast<wchar_t*>(text.data()),
                                      static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(length > 0 ? length : 0));
  return text;
}

void TVYNControl::SetCaption(const String& caption) {
  if (handle_ == nullptr) return;
  ::SetWindowTextW(handle_, ToWide(caption));
  Repaint(true);
}

bool TVYNControl::Enabled() const {
  return handle_ != nullptr && ::IsWindowEnabled(handle_);
}

void TVYNControl::SetEnabled(bool enabled) {
  if (handle_ != nullptr) ::EnableWindow(handle_, enabled ? TRUE : FALSE);
}

bool TVYNControl::Visible() const {
  return handle_ != nullptr && (::GetWindowLongW(handle_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void TVYNControl::SetVisible(bool visible) {
  if (handle_ != nullptr) ::ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
}

void TVYNControl::SetFocus() {
  if (handle_ != nullptr) ::SetFocus(handle_);
}

void TVYNControl::SetFont(const TVYNFontStyle& font) {
  font_style_ = font;
  ApplyScale();
}

void TVYNControl::PlaceWindow() {
  if (handle_ == nullptr) return;
  const TVYNScale scale = form_.Scale();
  ::SetWindowPos(handle_, nullptr, scale.Apply(bounds_.Left), scale.Apply(bounds_.Top),
                 scale.Apply(bounds_.Width), scale.Apply(bounds_.Height),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void TVYNControl::ApplyScale() {
  if (handle_ == nullptr) return;
  PlaceWindow();
  // The window lets go of the old font before it is deleted.
  platform::ScopedFont font = CreateVYNFont(font_style_, form_.Dpi());
  ::SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
  font_ = std::move(font);
}

HBRUSH TVYNControl::ControlColor(HDC dc) {
  const TVYNLook& look = form_.Look();
  ::SetTextColor(dc, Enabled() ? look.Text : look.DisabledText);
  ::SetBkColor(dc, look.Background);
  return form_.BackgroundBrush();
}

void TVYNControl::Repaint(bool with_background) {
  if (handle_ == nullptr) return;
  if (with_background) {
    // A see-through control has nothing of its own behind its text: the window it sits on
    // must repaint that part, or the old text stays visible under the new one.
    const HWND parent = ::GetParent(handle_);
    RECT rect;
    ::GetWindowRect(handle_, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    ::InvalidateRect(parent, &rect, TRUE);
  }
  ::InvalidateRect(handle_, nullptr, TRUE);
}
