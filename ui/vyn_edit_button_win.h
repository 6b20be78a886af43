// A one-line edit with a push button at its right end (a folder box with its Browse button):
// a container window holding a standard edit and a standard button side by side, so that Tab
// reaches both, a screen reader or a test driver reads the edit as any edit (WM_GETTEXT,
// WM_SETTEXT) and presses the button as any button (BM_CLICK) (Windows only).
#pragma once

#include <windows.h>

#include <functional>

#include "ui/vyn_control_win.h"
#include "ui/vyn_controls_win.h"

class TVYNEditButton : public TVYNControl {
 public:
  // Bounds cover the edit and the button together; ButtonWidth is at 96 DPI.
  TVYNEditButton(TVYNForm& form, int id, const TVYNBounds& bounds,
                 const String& button_caption = {}, int button_width = 75);
  ~TVYNEditButton() override;

  String Text() const;
  // Does not call OnChange: only the user's edits do, so that a handler which sets the text
  // in reply to a change cannot call itself again.
  void SetText(const String& text);
  // Called after every change of the text by the user (typing, pasting, WM_SETTEXT from
  // outside the program), while the caret stays where the user left it.
  std::function<void()> OnChange;

  String ButtonCaption() const { return button_.Caption(); }
  void SetButtonCaption(const String& caption) { button_.SetCaption(caption); }
  int ButtonWidth() const { return button_width_; }
  // Clamped to 0..the control's width.
  void SetButtonWidth(int width);
  std::function<void()> OnButtonClick;

  HWND EditHandle() const { return Handle() != nullptr ? edit_ : nullptr; }
  HWND ButtonHandle() const { return button_.Handle(); }

  void ApplyScale() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void LayOut();

  HWND edit_ = nullptr;  // a child of the container: destroyed with it
  TVYNButton button_;
  int button_width_;
  // Set while SetText changes the edit, whose EN_CHANGE then is the program's, not the user's.
  bool setting_text_ = false;
};
