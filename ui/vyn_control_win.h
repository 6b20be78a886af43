// The base of the wizard's controls: a real child window of a form, laid out at 96 DPI and
// rescaled with the form, with a font in points and the form's colours (Windows only).
#pragma once

#include <windows.h>

#include "platform/handle_traits_win.h"
#include "platform/text.h"
#include "ui/vyn_font_win.h"

class TVYNForm;

// Left, top, width and height in pixels at 96 DPI.
struct TVYNBounds {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;

  bool operator==(const TVYNBounds&) const = default;
};

// What a child window is made of: its window class, styles and control ID.
struct TVYNWindowTemplate {
  const wchar_t* WindowClass = L"STATIC";
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int Id = 0;
};

// A control must not outlive the form object it was made on; its window may go first (the
// form's window was closed), after which the control answers as empty and ignores changes.
class TVYNControl {
 public:
  virtual ~TVYNControl();
  TVYNControl(const TVYNControl&) = delete;
  TVYNControl& operator=(const TVYNControl&) = delete;

  // Null once the form's window, and with it this one, has been destroyed.
  HWND Handle() const { return handle_; }
  int Id() const { return id_; }
  TVYNForm& Form() const { return form_; }

  const TVYNBounds& Bounds() const { return bounds_; }
  void SetBounds(const TVYNBounds& bounds);

  String Caption() const;
  void SetCaption(const String& caption);

  bool Enabled() const;
  void SetEnabled(bool enabled);
  bool Visible() const;
  void SetVisible(bool visible);
  void SetFocus();

  const TVYNFontStyle& Font() const { return font_style_; }
  void SetFont(const TVYNFontStyle& font);

  // Called by the form.
  // Places the window and makes its font for the form's current scale.
  virtual void ApplyScale();
  // A WM_COMMAND notification from this window.
  virtual void Command(WORD /*notification*/) {}
  // WM_CTLCOLOR*: sets the DC's colours and returns the background brush.
  virtual HBRUSH ControlColor(HDC dc);
  // WM_DRAWITEM for owner-drawn controls; false when the control does not draw itself.
  virtual bool DrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
  // The cursor over the control; null for the class's own.
  virtual HCURSOR Cursor() const { return nullptr; }
  // The form's window is being destroyed, and this child with it.
  void Detach() { handle_ = nullptr; }

 protected:
  // Creates the child window at once; the form's window must exist. Throws when it cannot.
  TVYNControl(TVYNForm& form, const TVYNWindowTemplate& window, const TVYNBounds& bounds,
              const TVYNFontStyle& font = {});

  // Repaints the control and, for see-through controls, the form behind it.
  void Repaint(bool with_background);

 private:
  TVYNForm& form_;
  HWND handle_ = nullptr;
  int id_ = 0;
  TVYNBounds bounds_;
  TVYNFontStyle font_style_;
  platform::ScopedFont font_;
};
