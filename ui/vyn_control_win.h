// The base of the wizard's controls: a real child window of a form, laid out at 96 DPI and
// rescaled with the form, with a font in points and the form's colours (Windows only).
#pragma once

#include <windows.h>

#include "platform/handle_traits_win.h"
#include "platform/text.h"
#include "ui/vyn_font_win.h"

class TVYNForm;

// Registers a window class of the component library's own controls once per process and
// returns its name; raises when the system refuses it. ExtraBytes are per-window bytes
// (GetWindowLongPtr offsets from 0) that hold state readable before the control's object.
const wchar_t* RegisterVYNControlClass(const wchar_t* name, WNDPROC procedure, int extra_bytes);

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
  // Moves the control into a container (a page) of the same form; its bounds are then
  // relative to the container's client area.
  void SetParentWindow(HWND parent);

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
  // A WM_NOTIFY notification from this window; false when the control does not handle it.
  virtual bool Notify(const NMHDR& /*header*/, LRESULT& /*result*/) { return false; }
  // The form's look changed; controls that keep colours of their own take the new ones.
  virtual void LookChanged() {}
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

  // Places the window for the form's current scale, leaving its font alone.
  void PlaceWindow();
  // Repaints the control and, for see-through controls, the window behind it.
  void Repaint(bool with_background);

 private:
  TVYNForm& form_;
  HWND handle_ = nullptr;
  int id_ = 0;
  TVYNBounds bounds_;
  TVYNFontStyle font_style_;
  platform::ScopedFont font_;
};
