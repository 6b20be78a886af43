// The little of a canvas that the wizard's frame arithmetic draws with. The window code hands
// in one that paints; tests hand in one that records.
#pragma once

#include "support/rect.h"
#include "ui/installer_palette.h"

class TInstallerCanvas {
 public:
  virtual ~TInstallerCanvas() = default;
  virtual void FillRect(const TRect& rect, TColorRef colour) = 0;
};
