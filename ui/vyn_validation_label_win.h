// A warning on a page: the system's warning icon and a bold text beside it, as tall as the text
// needs at its width (Windows only). WM_GETTEXT gives the text to a screen reader or a driver.
#pragma once

#include <windows.h>

#include "ui/vyn_control_win.h"

class TVYNValidationLabel : public TVYNControl {
 public:
  TVYNValidationLabel(TVYNForm& form, int id, const TVYNBounds& bounds, const String& text);

  // The height (at 96 DPI) the text needs at the label's width, icon included.
  int FittingHeight() const;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
};
