#include "ui/installer_progress_view_info.h"

#include <optional>

namespace {

constexpr int32_t ContentInset = 2;
// The hatch is a pixel pattern, so its pitch does not scale.
constexpr int32_t HatchPitch = 6;
constexpr int32_t HatchMarkWidth = 3;

}  // namespace

void TInstallerProgressViewInfo::Calculate(const TRect& bounds, TInstallerScale scale) {
  bounds_ = bounds;
  content_ = bounds;
  content_.Top += scale.Apply(ContentInset);
  content_.Bottom -= scale.Apply(ContentInset);
  if (pages_.Count() > 2) {
    segment_width_ = (bounds.Right - bounds.Left) / static_cast<int32_t>(pages_.Count() - 1);
  }
}

void TInstallerProgressViewInfo::Draw(TInstallerCanvas& canvas, const TInstallerCustomPage* page,
                                      const TInstallerPalette& palette) const {
  canvas.FillRect(bounds_, palette.StripBackground);
  const std::optional<size_t> index = pages_.IndexOf(page);
  if (!index) return;

  TRect segment{content_.Left + static_cast<int32_t>(*index) * segment_width_, content_.Top, 0,
                content_.Bottom};
  segment.Right = segment.Left + segment_width_;

  const int32_t marks = segment_width_ / HatchPitch;
  for (int32_t mark = 0; mark < marks; ++mark) {
    const int32_t left = segment.Left + mark * HatchPitch;
    canvas.FillRect(TRect{left, segment.Top, left + HatchMarkWidth, segment.Bottom},
                    palette.StripHatch);
  }

  const TRect fill{content_.Left, content_.Top,
                   segment.Left + MultiplyDivide(segment_width_, page->GetProgress(), 100),
                   content_.Bottom};
  // An empty fill (the first page before any progress) paints nothing.
  if (fill.Right > fill.Left) canvas.FillRect(fill, palette.StripFill);
}
