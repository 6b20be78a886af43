// The base of the wizard's windows: a real top-level window whose client size is given at
// 96 DPI and scaled to its monitor's DPI, which follows DPI and colour-scheme changes, colours
// its controls for the light or the dark look and asks before it closes (Windows only).
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "platform/handle_traits_win.h"
#include "platform/text.h"

class TVYNControl;

// The form's scale factor M/D: the window's DPI over the 96 DPI that layouts are written for.
struct TVYNScale {
  int Numerator = 96;
  int Denominator = 96;

  int Apply(int length) const { return ::MulDiv(length, Numerator, Denominator); }
  bool operator==(const TVYNScale&) const = default;
};

// The colours the controls are drawn with. The owner of the form supplies them (from its
// palette) and changes them when the colour scheme changes.
struct TVYNLook {
  COLORREF Background = RGB(255, 255, 255);
  COLORREF Text = RGB(0, 0, 0);
  COLORREF ButtonFace = RGB(225, 225, 225);
  COLORREF ButtonText = RGB(0, 0, 0);
  COLORREF ButtonBorder = RGB(173, 173, 173);
  COLORREF DisabledText = RGB(160, 160, 160);
  COLORREF Accent = RGB(0xDE, 0x8C, 0x33);
  COLORREF Link = RGB(0, 102, 204);
  COLORREF ProgressBackground = RGB(230, 230, 230);

  static TVYNLook Light() { return TVYNLook(); }
  static TVYNLook Dark();
  bool operator==(const TVYNLook&) const = default;
};

struct TVYNFormOptions {
  // A stable class name lets a test driver find the window.
  String ClassName = u"TVYNForm";
  String Caption{};
  int ClientWidth = 640;  // at 96 DPI
  int ClientHeight = 480;
  // 0: the DPI the window reports. Anything else is used instead, for tests: a running process
  // cannot change the DPI the system gives its windows.
  int Dpi = 0;
  // Reads the user's dark-mode setting; without one the form stays light.
  std::function<bool()> ReadDarkMode{};
  // The application's main form ends the message loop when its window goes.
  bool QuitOnDestroy = false;
};

class TVYNForm {
 public:
  // Creates the window hidden, sized and centred for its DPI. Throws when it cannot be made.
  explicit TVYNForm(const TVYNFormOptions& options);
  virtual ~TVYNForm();
  TVYNForm(const TVYNForm&) = delete;
  TVYNForm& operator=(const TVYNForm&) = delete;

  // Null once the window has been destroyed (closed).
  HWND Handle() const { return window_.Get(); }
  int Dpi() const { return dpi_; }
  TVYNScale Scale() const { return TVYNScale{dpi_, 96}; }
  bool IsDarkMode() const { return dark_mode_; }

  const TVYNLook& Look() const { return look_; }
  // Repaints the form and its controls in the new colours.
  void SetLook(const TVYNLook& look);
  HBRUSH BackgroundBrush() const { return background_brush_.Get(); }

  void Show(int show_command = SW_SHOWNORMAL);
  // Asks to close, as the caption's close button does; false when the close query refused.
  bool Close();

  // The button Enter presses (IsDialogMessage asks the form for it); 0 for none.
  void SetDefaultButtonId(int id) { default_button_id_ = id; }
  int DefaultButtonId() const { return default_button_id_; }

  // Called after the DPI changed and every control was rescaled.
  std::function<void()> OnScaleChanged;
  // Called after the user switched between the light and the dark app mode, with the look
  // already set to the mode's standard one.
  std::function<void()> OnColorSchemeChanged;
  // Asked on every close request; returning false keeps the window open.
  std::function<bool()> OnCloseQuery;

  // For controls: they register while their window lives so that the form can route its
  // notifications to them and rescale them.
  void AddControl(TVYNControl* control);
  void RemoveControl(TVYNControl* control);
  TVYNControl* FindControl(HWND window) const;

 protected:
  // Paints the client area; the base fills it with the background colour.
  virtual void Paint(HDC dc, const RECT& client);
  // For derived forms' own messages; the base passes them to DefWindowProc.
  virtual LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Dispatch(UINT message, WPARAM wparam, LPARAM lparam);
  void ChangeDpi(int dpi, const RECT* suggested);
  void ReadColorScheme();
  void ApplyTitleBarMode();

  platform::ScopedWindow window_;
  TVYNFormOptions options_;
  int dpi_ = 96;
  bool dark_mode_ = false;
  TVYNLook look_;
  platform::ScopedBrush background_brush_;
  int default_button_id_ = 0;
  std::vector<TVYNControl*> controls_;
};

// The DPI a window is shown at: GetDpiForWindow where the system has it (looked up at run time,
// the build targets older systems), otherwise the screen's logical pixels per inch.
int GetWindowDpi(HWND window);
