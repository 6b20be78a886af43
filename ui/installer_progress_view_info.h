// The step strip below the header: one segment per page of the list, the pages before the
// active one filled, the active page's segment hatched and filled as far as the page has got.
#pragma once

#include <cstdint>

#include "support/rect.h"
#include "ui/installer_canvas.h"
#include "ui/installer_page_list.h"
#include "ui/installer_palette.h"
#include "ui/installer_scale.h"

class TInstallerProgressViewInfo {
 public:
  explicit TInstallerProgressViewInfo(const TInstallerPageList& pages) : pages_(pages) {}

  // Takes the strip's bounds. Segments are only worked out for more than two pages; with two
  // (an automatic run) the strip shows its background only.
  void Calculate(const TRect& bounds, TInstallerScale scale);
  // Paints the strip for the active page; a page not in the list gets the background only.
  void Draw(TInstallerCanvas& canvas, const TInstallerCustomPage* page,
            const TInstallerPalette& palette) const;

  const TRect& Bounds() const { return bounds_; }
  const TRect& ContentRect() const { return content_; }
  int32_t SegmentWidth() const { return segment_width_; }

 private:
  const TInstallerPageList& pages_;
  TRect bounds_;
  TRect content_;
  int32_t segment_width_ = 0;
};
