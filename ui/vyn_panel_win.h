// A container for controls inside a form: the wizard's pages are panels, so that showing or
// hiding a page shows or hides everything on it, and Tab moves through its controls as through
// the form's own (Windows only).
#pragma once

#include <windows.h>

#include <functional>

#include "ui/vyn_control_win.h"

class TVYNPanel : public TVYNControl {
 public:
  // Created hidden; controls join it with SetParentWindow(panel.Handle()).
  TVYNPanel(TVYNForm& form, int id, const TVYNBounds& bounds);

  // Paints the panel's client area; without it the panel is filled with the look's background.
  std::function<void(HDC dc, const RECT& client)> OnPaint;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
};
