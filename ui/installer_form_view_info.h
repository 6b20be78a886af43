// Where the wizard form paints its frame: header, step strip, footer, the header's title area
// and the rectangle a page gets, for the form's client rectangle and its current scale. The
// pictures the header shows belong to the window code.
#pragma once

#include "support/rect.h"
#include "ui/installer_scale.h"

class TInstallerFormViewInfo {
 public:
  TInstallerFormViewInfo(const TRect& client, TInstallerScale scale)
      : client_(client), scale_(scale) {}

  TRect GetHeaderRect() const;
  TRect GetFooterRect() const;
  // The step strip, directly below the header.
  TRect GetProgressRect() const;
  // The header's area for the page's title and description, leaving the picture's left part.
  TRect GetTitleTextRect() const;
  // An ordinary page sits between strip and footer; a full-screen page covers header and strip.
  TRect GetPageRect(bool full_screen) const;

 private:
  TRect client_;
  TInstallerScale scale_;
};
