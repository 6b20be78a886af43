// A label whose text carries inline links in markup (<a href="address">text</a>), on the
// system's link control, so that links are reachable by Tab and Enter and readable by a screen
// reader; a clicked link opens its address through the shell (Windows only).
#pragma once

#include <windows.h>

#include <functional>

#include "ui/vyn_control_win.h"

class TVYNFormattedLabel : public TVYNControl {
 public:
  TVYNFormattedLabel(TVYNForm& form, int id, const TVYNBounds& bounds);

  // Called instead of the shell when set (a test).
  std::function<void(const String& address)> OnLinkClick;

  bool Notify(const NMHDR& header, LRESULT& result) override;
  HBRUSH ControlColor(HDC dc) override;
};
