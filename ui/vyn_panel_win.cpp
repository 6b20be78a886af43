#include "ui/vyn_panel_win.h"

#include "ui/vyn_form_win.h"

namespace {

constexpr wchar_t PanelClass[] = L"TVYNPanel";

// The notifications a control sends its parent: the form routes them to the control objects.
bool IsControlNotification(UINT message) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT: return true;
    default: return false;
  }
}

}  // namespace

TVYNPanel::TVYNPanel(TVYNForm& form, int id, const TVYNBounds& bounds)
    // No WS_CLIPCHILDREN: the panel paints under its see-through labels when their text
    // changes. WS_EX_CONTROLPARENT lets Tab and the arrow keys reach the controls on it.
    : TVYNControl(form,
                  TVYNWindowTemplate{RegisterVYNControlClass(PanelClass, WindowProc, 0), 0,
                                     WS_EX_CONTROLPARENT, id},
                  bounds) {
  ::SetWindowLongPtrW(Handle(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

LRESULT CALLBACK TVYNPanel::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* panel = reinterpret_cast<TVYNPanel*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (panel != nullptr && IsControlNotification(message)) {
    return ::SendMessageW(panel->Form().Handle(), message, wparam, lparam);
  }
  switch (message) {
    case WM_ERASEBKGND: return 1;  // WM_PAINT fills everything
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = ::BeginPaint(window, &paint);
      RECT client;
      ::GetClientRect(window, &client);
      if (panel != nullptr && panel->OnPaint) {
        panel->OnPaint(dc, client);
      } else if (panel != nullptr) {
        ::FillRect(dc, &client, panel->Form().BackgroundBrush());
      }
      ::EndPaint(window, &paint);
      return 0;
    }
    case WM_NCDESTROY: ::SetWindowLongPtrW(window, GWLP_USERDATA, 0); break;
    default: break;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}
