#include "ui/vyn_form_win.h"

#include <algorithm>
#include <string_view>

#include "platform/exception.h"
#include "platform/message_box.h"
#include "platform/windows_text.h"
#include "ui/vyn_control_win.h"

namespace {

// Newer than the WINVER the build targets; the values are fixed by the system.
constexpr UINT MessageDpiChanged = 0x02E0;  // WM_DPICHANGED
const HANDLE DpiAwarenessPerMonitorV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
constexpr DWORD DwmUseImmersiveDarkMode = 20;
// Windows 10 before build 18985 had the same attribute under this number.
constexpr DWORD DwmUseImmersiveDarkModeOld = 19;

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using SetThreadDpiAwarenessContextFunction = HANDLE(WINAPI*)(HANDLE);
using DwmSetWindowAttributeFunction = HRESULT(WINAPI*)(HWND, DWORD, const void*, DWORD);

// GetProcAddress returns a generic function pointer; casting through void(*)() tells the
// compiler the caller vouches for the real signature.
template <class Function>
Function LookUp(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

HMODULE User32() {
  return ::GetModuleHandleW(L"user32.dll");
}

constexpr DWORD FormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
// Lets IsDialogMessage move the focus through the controls with Tab.
constexpr DWORD FormExStyle = WS_EX_CONTROLPARENT;

// Makes the calling thread per-monitor aware while it creates a window, so that the window gets
// its own DPI even in a program without the manifest entry (tests); puts the old one back.
class ThreadDpiAwareness {
 public:
  ThreadDpiAwareness() {
    if (set_ != nullptr) previous_ = set_(DpiAwarenessPerMonitorV2);
  }
  ~ThreadDpiAwareness() {
    if (previous_ != nullptr) set_(previous_);
  }
  ThreadDpiAwareness(const ThreadDpiAwareness&) = delete;
  ThreadDpiAwareness& operator=(const ThreadDpiAwareness&) = delete;

 private:
  SetThreadDpiAwarenessContextFunction set_ =
      LookUp<SetThreadDpiAwarenessContextFunction>(User32(), "SetThreadDpiAwarenessContext");
  HANDLE previous_ = nullptr;
};

RECT WindowRectForClient(int client_width, int client_height, int dpi) {
  RECT rect{0, 0, client_width, client_height};
  static const auto adjust_for_dpi =
      LookUp<AdjustWindowRectExForDpiFunction>(User32(), "AdjustWindowRectExForDpi");
  if (adjust_for_dpi == nullptr ||
      !adjust_for_dpi(&rect, FormStyle, FALSE, FormExStyle, static_cast<UINT>(dpi))) {
    ::AdjustWindowRectEx(&rect, FormStyle, FALSE, FormExStyle);
  }
  return rect;
}

void RegisterFormClass(const String& class_name, WNDPROC procedure) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = ::GetModuleHandleW(nullptr);
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  window_class.lpszClassName = ToWide(class_name);
  // The form paints its own background; a second class registration (another form of the same
  // class) fails harmlessly with ERROR_CLASS_ALREADY_EXISTS.
  ::RegisterClassExW(&window_class);
}

}  // namespace

TVYNLook TVYNLook::Dark() {
  TVYNLook look;
  look.Background = RGB(0x26, 0x26, 0x26);
  look.Text = RGB(0xFF, 0xFF, 0xFF);
  look.ButtonFace = RGB(0x3A, 0x3A, 0x3A);
  look.ButtonText = RGB(0xFF, 0xFF, 0xFF);
  look.ButtonBorder = RGB(0x5A, 0x5A, 0x5A);
  look.DisabledText = RGB(0x80, 0x80, 0x80);
  look.Accent = RGB(0xAC, 0x67, 0x1C);
  look.Link = RGB(0x66, 0xB3, 0xFF);
  look.ProgressBackground = RGB(0x2A, 0x2A, 0x2A);
  return look;
}

int GetWindowDpi(HWND window) {
  static const auto get_dpi_for_window =
      LookUp<GetDpiForWindowFunction>(User32(), "GetDpiForWindow");
  if (get_dpi_for_window != nullptr && window != nullptr) {
    const UINT dpi = get_dpi_for_window(window);
    if (dpi != 0) return static_cast<int>(dpi);
  }
  const platform::ScopedWindowDc screen(nullptr);
  const int dpi = screen.Get() != nullptr ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : 96;
}

TVYNForm::TVYNForm(const TVYNFormOptions& options) : options_(options) {
  RegisterFormClass(options_.ClassName, WindowProc);
  {
    const ThreadDpiAwareness per_monitor;
    // The window procedure learns its object from the creation parameter (WM_NCCREATE).
    // and keeps the handle from there on, since messages arrive before CreateWindowExW returns.
    const HWND created = ::CreateWindowExW(
        FormExStyle, ToWide(options_.ClassName), ToWide(options_.Caption), FormStyle, CW_USEDEFAULT,
        CW_USEDEFAULT, options_.ClientWidth, options_.ClientHeight, nullptr, nullptr,
        ::GetModuleHandleW(nullptr), this);
    if (created == nullptr) RaiseLastOSError(u"The window could not be created.");
  }
  dpi_ = options_.Dpi != 0 ? options_.Dpi : GetWindowDpi(Handle());
  if (options_.ReadDarkMode) dark_mode_ = options_.ReadDarkMode();
  SetLook(dark_mode_ ? TVYNLook::Dark() : TVYNLook::Light());
  ApplyTitleBarMode();

  // Centred on the work area of the monitor the window starts on. The frame is the one of the
  // window's real DPI, which differs from dpi_ only when a test forces the DPI.
  const RECT frame =
      WindowRectForClient(Scale().Apply(options_.ClientWidth), Scale().Apply(options_.ClientHeight),
                          GetWindowDpi(Handle()));
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  RECT area{0, 0, width, height};
  if (::GetMonitorInfoW(::MonitorFromWindow(Handle(), MONITOR_DEFAULTTOPRIMARY), &monitor)) {
    area = monitor.rcWork;
  }
  const int left = area.left + std::max(0L, (area.right - area.left - width) / 2);
  const int top = area.top + std::max(0L, (area.bottom - area.top - height) / 2);
  ::SetWindowPos(Handle(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

TVYNForm::~TVYNForm() {
  // Controls that outlive the form's window (members of a derived form go first, but an owner
  // may hold others) must not touch it again.
  for (TVYNControl* control : controls_) control->Detach();
  if (window_) ::SetWindowLongPtrW(Handle(), GWLP_USERDATA, 0);
}

void TVYNForm::SetLook(const TVYNLook& look) {
  look_ = look;
  background_brush_.Reset(::CreateSolidBrush(look_.Background));
  for (TVYNControl* control : controls_) control->LookChanged();
  if (window_)
    ::RedrawWindow(Handle(), nullptr, nullptr,
                   RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TVYNForm::Show(int show_command) {
  if (window_) ::ShowWindow(Handle(), show_command);
}

bool TVYNForm::Close() {
  if (!window_) return true;
  ::SendMessageW(Handle(), WM_CLOSE, 0, 0);
  return !window_;
}

void TVYNForm::AddControl(TVYNControl* control) {
  controls_.push_back(control);
}

void TVYNForm::RemoveControl(TVYNControl* control) {
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
}

TVYNControl* TVYNForm::FindControl(HWND window) const {
  if (window == nullptr) return nullptr;
  for (TVYNControl* control : controls_) {
    if (control->Handle() == window) return control;
  }
  return nullptr;
}

void TVYNForm::Paint(HDC dc, const RECT& client) {
  ::FillRect(dc, &client, BackgroundBrush());
}

LRESULT TVYNForm::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  return ::DefWindowProcW(Handle(), message, wparam, lparam);
}

void TVYNForm::ChangeDpi(int dpi, const RECT* suggested) {
  if (dpi <= 0) return;
  dpi_ = dpi;
  if (suggested != nullptr) {
    ::SetWindowPos(Handle(), nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
  for (TVYNControl* control : controls_) control->ApplyScale();
  ::InvalidateRect(Handle(), nullptr, TRUE);
  if (OnScaleChanged) OnScaleChanged();
}

void TVYNForm::ReadColorScheme() {
  if (options_.ReadDarkMode) dark_mode_ = options_.ReadDarkMode();
  ApplyTitleBarMode();
  // The standard look of the mode; the listener may replace it with its own palette's.
  SetLook(dark_mode_ ? TVYNLook::Dark() : TVYNLook::Light());
  if (OnColorSchemeChanged) OnColorSchemeChanged();
}

void TVYNForm::ApplyTitleBarMode() {
  // Systems without the attribute (or without dwmapi) keep their light caption: nothing breaks.
  const platform::ScopedModule dwmapi(
      ::LoadLibraryExW(L"dwmapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
  const auto set_attribute =
      LookUp<DwmSetWindowAttributeFunction>(dwmapi.Get(), "DwmSetWindowAttribute");
  if (set_attribute == nullptr) return;
  const BOOL dark = dark_mode_ ? TRUE : FALSE;
  if (FAILED(set_attribute(Handle(), DwmUseImmersiveDarkMode, &dark, sizeof(dark)))) {
    set_attribute(Handle(), DwmUseImmersiveDarkModeOld, &dark, sizeof(dark));
  }
}

LRESULT CALLBACK TVYNForm::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    auto* form = static_cast<TVYNForm*>(create->lpCreateParams);
    *form->window_.Receive() = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<TVYNForm*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (form == nullptr) return ::DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    // The window is gone: the owner must not destroy it again, nor may the controls use theirs.
    form->window_.Release();
    for (TVYNControl* control : form->controls_) control->Detach();
    if (form->options_.QuitOnDestroy) ::PostQuitMessage(0);
    return ::DefWindowProcW(window, message, wparam, lparam);
  }
  // An exception must not unwind through the system's frames of the window procedure. A
  // handler that fails is reported and the window goes on: the user can retry or close.
  try {
    return form->Dispatch(message, wparam, lparam);
  } catch (const Exception& error) {
    platform::ShowMessageBox(window, error.Message(), u"Setup",
                             platform::MessageBoxOk | platform::MessageBoxIconError);
  } catch (const std::exception& error) {
    platform::ShowMessageBox(window, Utf8ToString(error.what()), u"Setup",
                             platform::MessageBoxOk | platform::MessageBoxIconError);
  }
  return 0;
}

LRESULT TVYNForm::Dispatch(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ERASEBKGND: return 1;  // WM_PAINT fills everything; erasing first would flicker
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = ::BeginPaint(Handle(), &paint);
      RECT client;
      ::GetClientRect(Handle(), &client);
      Paint(dc, client);
      ::EndPaint(Handle(), &paint);
      return 0;
    }
    case WM_CLOSE:
      if (OnCloseQuery && !OnCloseQuery()) return 0;
      ::DestroyWindow(Handle());
      return 0;
    case MessageDpiChanged:
      ChangeDpi(LOWORD(wparam), reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_SETTINGCHANGE:
      // The system names the changed area in the text; the app mode lives in this one.
      if (lparam != 0 &&
          std::wstring_view(reinterpret_cast<const wchar_t*>(lparam)) == L"ImmersiveColorSet") {
        ReadColorScheme();
      }
      break;
    case DM_GETDEFID:
      // IsDialogMessage asks this when Enter is pressed and presses the button it is told.
      // Without a default it would press the control with ID 1 (IDOK) instead; ID 0 names no
      // control, so Enter then does nothing.
      return MAKELRESULT(default_button_id_, DC_HASDEFID);
    case WM_COMMAND:
      if (TVYNControl* control = FindControl(reinterpret_cast<HWND>(lparam))) {
        control->Command(HIWORD(wparam));
        return 0;
      }
      break;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lparam);
      LRESULT result = 0;
      if (TVYNControl* control = FindControl(header->hwndFrom)) {
        if (control->Notify(*header, result)) return result;
      }
      break;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (TVYNControl* control = FindControl(item->hwndItem)) {
        if (control->DrawItem(*item)) return TRUE;
      }
      break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
      if (TVYNControl* control = FindControl(reinterpret_cast<HWND>(lparam))) {
        return reinterpret_cast<LRESULT>(control->ControlColor(reinterpret_cast<HDC>(wparam)));
      }
      break;
    case WM_SETCURSOR:
      if (TVYNControl* control = FindControl(reinterpret_cast<HWND>(wparam))) {
        if (const HCURSOR cursor = control->Cursor()) {
          ::SetCursor(cursor);
          return TRUE;
        }
      }
      break;
    default: break;
  }
  return HandleMessage(message, wparam, lparam);
}
