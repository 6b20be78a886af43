#include "ui/vyn_font_win.h"

#include "platform/windows_text.h"

namespace {

int CALLBACK NoteFaceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;  // one match is enough
}

}  // namespace

bool IsFontFaceInstalled(const String& face) {
  if (face.empty() || face.size() >= LF_FACESIZE) return false;
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  face.copy(reinterpret_cast<char16_t*>(query.lfFaceName), face.size());
  bool found = false;
  const platform::ScopedWindowDc screen(nullptr);
  ::EnumFontFamiliesExW(screen.Get(), &query, NoteFaceFound, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

String GetVYNFontFace() {
  const String preferred = u"Segoe UI";
  if (IsFontFaceInstalled(preferred)) return preferred;
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    const String message_face = FromWide(metrics.lfMessageFont.lfFaceName);
    if (IsFontFaceInstalled(message_face)) return message_face;
  }
  return preferred;
}

int GetFontPixelHeight(int point_size, int dpi) {
  return -::MulDiv(point_size, dpi, 72);
}

platform::ScopedFont CreateVYNFont(const TVYNFontStyle& style, int dpi) {
  // The face is looked up once: enumerating fonts for every control on every DPI change costs
  // more than everything else the scaling does.
  static const String face = GetVYNFontFace();
  return platform::ScopedFont(::CreateFontW(
      GetFontPixelHeight(style.PointSize, dpi), 0, 0, 0, style.Bold ? FW_BOLD : FW_NORMAL, FALSE,
      style.Underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
      CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, ToWide(face)));
}
