#include "ui/vyn_validation_label_win.h"

#include <algorithm>

#include "platform/windows_text.h"
#include "ui/vyn_form_win.h"

namespace {

constexpr wchar_t ValidationLabelClass[] = L"TVYNValidationLabel";
constexpr int IconSize = 16;  // at 96 DPI
constexpr int IconGap = 6;

const TVYNFontStyle WarningFont{8, true};

// The icon's and the text's rectangles in a client area of that width, for the form's scale.
struct TLayout {
  RECT Icon;
  RECT Text;
};

TLayout Layout(const RECT& client, const TVYNScale& scale) {
  const int icon = scale.Apply(IconSize);
  return TLayout{
      RECT{client.left, client.top, client.left + icon, client.top + icon},
      RECT{client.left + icon + scale.Apply(IconGap), client.top, client.right, client.bottom}};
}

String WindowText(HWND window) {
  String text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, u'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()),
                                                   static_cast<int>(text.size()))));
  return text;
}

}  // namespace

TVYNValidationLabel::TVYNValidationLabel(TVYNForm& form, int id, const TVYNBounds& bounds,
                                         const String& text)
    : TVYNControl(form,
                  TVYNWindowTemplate{RegisterVYNControlClass(ValidationLabelClass, WindowProc, 0),
                                     WS_VISIBLE, 0, id},
                  bounds, WarningFont) {
  ::SetWindowLongPtrW(Handle(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetCaption(text);
}

int TVYNValidationLabel::FittingHeight() const {
  if (Handle() == nullptr) return Bounds().Height;
  const TVYNScale scale = Form().Scale();
  RECT client{0, 0, scale.Apply(Bounds().Width), 0};
  const TLayout layout = Layout(client, scale);
  RECT text = layout.Text;
  const platform::ScopedWindowDc dc(Handle());
  const platform::ScopedFont font = CreateVYNFont(WarningFont, Form().Dpi());
  const platform::ScopedSelectObject select(dc.Get(), font.Get());
  const String caption = Caption();
  ::DrawTextW(dc.Get(), ToWide(caption), static_cast<int>(caption.size()), &text,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  const int pixels = std::max<int>(text.bottom - text.top, layout.Icon.bottom - layout.Icon.top);
  return ::MulDiv(pixels, 96, Form().Dpi());
}

LRESULT CALLBACK TVYNValidationLabel::WindowProc(HWND window, UINT message, WPARAM wparam,
                                                 LPARAM lparam) {
  const auto* label =
      reinterpret_cast<const TVYNValidationLabel*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_SETTEXT: {
      const LRESULT result = ::DefWindowProcW(window, message, wparam, lparam);
      ::InvalidateRect(window, nullptr, TRUE);
      return result;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = ::BeginPaint(window, &paint);
      RECT client;
      ::GetClientRect(window, &client);
      const TVYNScale scale = label != nullptr ? label->Form().Scale() : TVYNScale{};
      const TVYNLook look = label != nullptr ? label->Form().Look() : TVYNLook::Light();
      const platform::ScopedBrush background(::CreateSolidBrush(look.Background));
      ::FillRect(dc, &client, background.Get());
      const TLayout layout = Layout(client, scale);
      const auto icon = static_cast<HICON>(
          ::LoadImageW(nullptr, IDI_WARNING, IMAGE_ICON, layout.Icon.right - layout.Icon.left,
                       layout.Icon.bottom - layout.Icon.top, LR_SHARED));
      if (icon != nullptr) {
        ::DrawIconEx(dc, layout.Icon.left, layout.Icon.top, icon,
                     layout.Icon.right - layout.Icon.left, layout.Icon.bottom - layout.Icon.top, 0,
                     nullptr, DI_NORMAL);
      }
      const platform::ScopedFont font =
          CreateVYNFont(WarningFont, label != nullptr ? label->Form().Dpi() : 96);
      const platform::ScopedSelectObject select(dc, font.Get());
      ::SetBkMode(dc, TRANSPARENT);
      ::SetTextColor(dc, look.Text);
      const String text = WindowText(window);
      RECT text_area = layout.Text;
      ::DrawTextW(dc, ToWide(text), static_cast<int>(text.size()), &text_area,
                  DT_WORDBREAK | DT_NOPREFIX);
      ::EndPaint(window, &paint);
      return 0;
    }
    default: return ::DefWindowProcW(window, message, wparam, lparam);
  }
}
