#include "ui/installer_form_view_info.h"

namespace {

constexpr int32_t HeaderHeight = 53;
constexpr int32_t FooterHeight = 44;
constexpr int32_t StripHeight = 10;
constexpr int32_t PageGap = 4;
constexpr TRect TitleTextInset{144, 6, 16, 12};

}  // namespace

TRect TInstallerFormViewInfo::GetHeaderRect() const {
  TRect header = client_;
  header.Bottom = client_.Top + scale_.Apply(HeaderHeight);
  return header;
}

TRect TInstallerFormViewInfo::GetFooterRect() const {
  TRect footer = client_;
  footer.Top = client_.Bottom - scale_.Apply(FooterHeight);
  return footer;
}

TRect TInstallerFormViewInfo::GetProgressRect() const {
  const int32_t top = GetHeaderRect().Bottom;
  return TRect{client_.Left, top, client_.Right, top + scale_.Apply(StripHeight)};
}

TRect TInstallerFormViewInfo::GetTitleTextRect() const {
  const TRect header = GetHeaderRect();
  return TRect{header.Left + scale_.Apply(TitleTextInset.Left),
               header.Top + scale_.Apply(TitleTextInset.Top),
               header.Right - scale_.Apply(TitleTextInset.Right),
               header.Bottom - scale_.Apply(TitleTextInset.Bottom)};
}

TRect TInstallerFormViewInfo::GetPageRect(bool full_screen) const {
  TRect page = client_;
  page.Bottom = GetFooterRect().Top;
  if (!full_screen) page.Top = GetProgressRect().Bottom + scale_.Apply(PageGap);
  return page;
}
