#include "ui/vyn_rich_viewer_win.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

#include "platform/exception.h"
#include "platform/file_system.h"
#include "platform/shell_execute.h"
#include "platform/windows_text.h"
#include "ui/rich_viewer_rules.h"
#include "ui/vyn_form_win.h"

namespace {

constexpr DWORD ViewerEventMask =
    ENM_CHANGE | ENM_REQUESTRESIZE | ENM_SELCHANGE | ENM_PROTECTED | ENM_LINK;  // 0x42C0001
constexpr LPARAM ViewerTextLimit = 0x7FFFFFFE;

// The rich edit control lives in a system library loaded once for the process's life: every
// viewer's window needs its class until the window is gone.
const wchar_t* RichEditClass() {
  static const HMODULE library =
      ::LoadLibraryExW(L"msftedit.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (library == nullptr) RaiseLastOSError(u"The rich edit control could not be loaded.");
  return MSFTEDIT_CLASS;  // "RICHEDIT50W"
}

struct StreamSource {
  const uint8_t* Data;
  size_t Remaining;
};

// Hands the control at most what it asks for and never more than is left.
DWORD CALLBACK ReadStream(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
  auto* source = reinterpret_cast<StreamSource*>(cookie);
  const size_t count = std::min(source->Remaining, static_cast<size_t>(std::max(wanted, 0L)));
  if (count > 0) std::memcpy(buffer, source->Data, count);
  source->Data += count;
  source->Remaining -= count;
  *given = static_cast<LONG>(count);
  return 0;
}

// The DPI the control renders its text at: its device context's.
int TextDpi(HWND window) {
  const platform::ScopedWindowDc dc(window);
  const int dpi = dc.Get() != nullptr ? ::GetDeviceCaps(dc.Get(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : 96;
}

// Text whose colour is "automatic" is drawn in the system's window-text colour whatever the
// background, which is black on the dark look. Finds such runs, and the runs an earlier look
// gave its colour (Previous), by halving the range until its format is uniform, and gives them
// Colour; text with a colour of its own keeps it.
void ColourPlainText(HWND window, LONG start, LONG end, std::optional<COLORREF> previous,
                     COLORREF colour) {
  if (start >= end) return;
  CHARRANGE range{start, end};
  ::SendMessageW(window, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  CHARFORMAT2W format{};
  format.cbSize = sizeof(format);
  ::SendMessageW(window, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  const bool uniform = (format.dwMask & CFM_COLOR) != 0;
  if (uniform) {
    const bool plain =
        (format.dwEffects & CFE_AUTOCOLOR) != 0 || (previous && format.crTextColor == *previous);
    if (!plain || ((format.dwEffects & CFE_AUTOCOLOR) == 0 && format.crTextColor == colour)) {
      return;
    }
    CHARFORMAT2W coloured{};
    coloured.cbSize = sizeof(coloured);
    coloured.dwMask = CFM_COLOR;  // with no CFE_AUTOCOLOR in the effects: clears it
    coloured.crTextColor = colour;
    ::SendMessageW(window, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&coloured));
    return;
  }
  if (end - start < 2) return;
  const LONG middle = start + (end - start) / 2;
  ColourPlainText(window, start, middle, previous, colour);
  ColourPlainText(window, middle, end, previous, colour);
}

// The rich edit control's own window procedure, kept with each viewer window.
constexpr wchar_t OriginalProcedureProperty[] = L"TVYNRichViewer.Procedure";

// A read-only viewer has nothing to do with Tab, Enter or Escape: they belong to the dialog
// navigation (Tab moves on, Enter presses the default button), which the multi-line control
// would otherwise swallow. The arrows and page keys still scroll.
LRESULT CALLBACK ViewerProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  const auto original = reinterpret_cast<WNDPROC>(::GetPropW(window, OriginalProcedureProperty));
  if (original == nullptr) return ::DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    ::RemovePropW(window, OriginalProcedureProperty);
    return ::CallWindowProcW(original, window, message, wparam, lparam);
  }
  const LRESULT result = ::CallWindowProcW(original, window, message, wparam, lparam);
  if (message == WM_GETDLGCODE) return result & ~(DLGC_WANTTAB | DLGC_WANTALLKEYS);
  return result;
}

}  // namespace

TVYNRichViewer::TVYNRichViewer(TVYNForm& form, int id, const TVYNBounds& bounds)
    : TVYNControl(form,
                  TVYNWindowTemplate{RichEditClass(),
                                     WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE |
                                         ES_READONLY | ES_AUTOVSCROLL | ES_DISABLENOSCROLL,
                                     WS_EX_CLIENTEDGE, id},
                  bounds),
      dpi_(TextDpi(Handle())) {
  ::SetPropW(Handle(), OriginalProcedureProperty,
             reinterpret_cast<HANDLE>(::GetWindowLongPtrW(Handle(), GWLP_WNDPROC)));
  ::SetWindowLongPtrW(Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ViewerProcedure));
  // The base made the font before anything was streamed in, which is when it must be set:
  // set afterwards it would wipe the document's formatting.
  ::SendMessageW(Handle(), EM_SETREADONLY, TRUE, 0);
  ::SendMessageW(Handle(), EM_SETEVENTMASK, 0, ViewerEventMask);
  ::SendMessageW(Handle(), EM_AUTOURLDETECT, TRUE, 0);
  ::SendMessageW(Handle(), EM_EXLIMITTEXT, 0, ViewerTextLimit);
  ApplyColours();
  // The control sizes its text for the DPI of its device context already; the zoom makes up
  // only the difference to the window's DPI (none on a single monitor). Zooming from 96 DPI
  // would scale the text twice.
  ApplyZoom(RescaleRichViewerZoom(zoom_, form.Dpi(), dpi_));
  dpi_ = form.Dpi();
}

void TVYNRichViewer::LoadFromStream(const std::vector<uint8_t>* rtf) {
  if (rtf == nullptr || Handle() == nullptr) return;
  StreamSource source{rtf->data(), rtf->size()};
  EDITSTREAM stream{};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
  stream.pfnCallback = ReadStream;
  // A document that is no RTF (a licence saved as plain text) would show nothing as RTF; it
  // is shown as the plain text it is.
  constexpr std::string_view RtfSignature = "{\\rtf";
  const bool is_rtf = rtf->size() >= RtfSignature.size() &&
                      std::equal(RtfSignature.begin(), RtfSignature.end(), rtf->begin());
  ::SendMessageW(Handle(), EM_STREAMIN, is_rtf ? SF_RTF : SF_TEXT,
                 reinterpret_cast<LPARAM>(&stream));
  ApplyColours();
  ApplyZoom(zoom_);
}

void TVYNRichViewer::SetText(const String& text) {
  if (Handle() == nullptr) return;
  SETTEXTEX how{ST_DEFAULT, 1200};  // UTF-16
  ::SendMessageW(Handle(), EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how),
                 reinterpret_cast<LPARAM>(ToWide(text)));
  ApplyColours();
  ApplyZoom(zoom_);
}

void TVYNRichViewer::ApplyScale() {
  PlaceWindow();
  const int dpi = Form().Dpi();
  if (dpi != dpi_) {
    const int32_t zoom = RescaleRichViewerZoom(zoom_, dpi, dpi_);
    dpi_ = dpi;
    ApplyZoom(zoom);
  }
}

void TVYNRichViewer::LookChanged() {
  ApplyColours();
}

void TVYNRichViewer::ApplyColours() {
  if (Handle() == nullptr) return;
  const TVYNLook& look = Form().Look();
  ::SendMessageW(Handle(), EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(look.Background));
  CHARFORMAT2W format{};
  format.cbSize = sizeof(format);
  format.dwMask = CFM_COLOR;
  format.crTextColor = look.Text;
  ::SendMessageW(Handle(), EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  GETTEXTLENGTHEX how{GTL_NUMCHARS, 1200};
  const auto length = static_cast<LONG>(
      ::SendMessageW(Handle(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0));
  ColourPlainText(Handle(), 0, length, plain_text_colour_, look.Text);
  plain_text_colour_ = look.Text;
  // The reader starts at the top, with nothing selected.
  CHARRANGE top{0, 0};
  ::SendMessageW(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&top));
  ::SendMessageW(Handle(), EM_SCROLLCARET, 0, 0);
}

void TVYNRichViewer::ApplyZoom(int32_t zoom) {
  const std::optional<int32_t> numerator = GetRichViewerZoomNumerator(zoom);
  if (!numerator || Handle() == nullptr) return;
  zoom_ = zoom;
  ::SendMessageW(Handle(), EM_SETZOOM, static_cast<WPARAM>(*numerator), RichViewerZoomDenominator);
}

bool TVYNRichViewer::Notify(const NMHDR& header, LRESULT& result) {
  if (header.code != EN_LINK) return false;
  const auto& link = reinterpret_cast<const ENLINK&>(header);
  result = 0;
  if (link.msg != WM_LBUTTONUP) return true;
  const LONG length = link.chrg.cpMax - link.chrg.cpMin;
  if (length <= 0) return true;
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  TEXTRANGEW range{link.chrg, text.data()};
  const LRESULT copied =
      ::SendMessageW(Handle(), EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
  text.resize(static_cast<size_t>(std::max<LRESULT>(copied, 0)));
  const std::optional<String> target = GetRichViewerLinkTarget(
      FromWide(text.c_str()), [](StringView folder) { return platform::FolderExists(folder); });
  if (target) {
    // A link that cannot be opened leaves the viewer as it was: there is nothing to undo.
    const platform::ShellApartment apartment;
    static_cast<void>(platform::ShellOpen(*target, u"", u"", platform::ShowNormal));
  }
  return true;
}
