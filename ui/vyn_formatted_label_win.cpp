#include "ui/vyn_formatted_label_win.h"

#include <commctrl.h>

#include "platform/exception.h"
#include "platform/shell_execute.h"
#include "platform/windows_text.h"
#include "ui/vyn_form_win.h"

namespace {

// The link control lives in the common controls (version 6, which the manifest asks for).
const wchar_t* LinkControlClass() {
  static const bool ready = [] {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LINK_CLASS};
    return ::InitCommonControlsEx(&controls) != FALSE;
  }();
  if (!ready) RaiseLastOSError(u"The link control could not be made available.");
  return WC_LINK;
}

}  // namespace

TVYNFormattedLabel::TVYNFormattedLabel(TVYNForm& form, int id, const TVYNBounds& bounds)
    : TVYNControl(
          form,
          TVYNWindowTemplate{LinkControlClass(), WS_VISIBLE | WS_TABSTOP | LWS_TRANSPARENT, 0, id},
          bounds) {}

bool TVYNFormattedLabel::Notify(const NMHDR& header, LRESULT& result) {
  if (header.code != NM_CLICK && header.code != NM_RETURN) return false;
  const auto& link = reinterpret_cast<const NMLINK&>(header);
  const String address = FromWide(link.item.szUrl);
  result = 0;
  if (address.empty()) return true;
  if (OnLinkClick) {
    OnLinkClick(address);
    return true;
  }
  // A link that cannot be opened leaves the page as it was: there is nothing to undo.
  const platform::ShellApartment apartment;
  static_cast<void>(platform::ShellOpen(address, u"", u"", platform::ShowNormal));
  return true;
}

HBRUSH TVYNFormattedLabel::ControlColor(HDC dc) {
  static_cast<void>(TVYNControl::ControlColor(dc));  // the look's text colour
  ::SetBkMode(dc, TRANSPARENT);
  // Some link controls delete the brush they are given once they have painted: a stock
  // brush survives that, where the form's own background brush would not.
  return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}
