// The wizard's standard controls on standard window classes, so that the keyboard, screen
// readers and a test driver see them as usual: BM_CLICK, BM_GETCHECK, WM_GETTEXT and
// PBM_GETPOS answer as they do for any button, label, edit or progress bar (Windows only).
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "ui/vyn_control_win.h"

// A push button, drawn by the form's look. The default button is the one Enter presses.
class TVYNButton : public TVYNControl {
 public:
  TVYNButton(TVYNForm& form, int id, const TVYNBounds& bounds, const String& caption);

  bool IsDefault() const;
  void SetDefault(bool is_default);
  std::function<void()> OnClick;

  void Command(WORD notification) override;
  bool DrawItem(const DRAWITEMSTRUCT& item) override;
};

// A check box (BS_AUTOCHECKBOX): a click toggles it, then calls OnClick.
class TVYNCheckBox : public TVYNControl {
 public:
  TVYNCheckBox(TVYNForm& form, int id, const TVYNBounds& bounds, const String& caption);

  bool Checked() const;
  // Does not call OnClick: only the user's clicks do.
  void SetChecked(bool checked);
  std::function<void()> OnClick;

  void Command(WORD notification) override;
};

// A radio button (BS_AUTORADIOBUTTON): checking one unchecks the others of its group, the
// radio buttons created after one made with StartsGroup up to the next such one.
class TVYNRadioButton : public TVYNControl {
 public:
  TVYNRadioButton(TVYNForm& form, int id, const TVYNBounds& bounds, const String& caption,
                  bool starts_group = false);

  bool Checked() const;
  void SetChecked(bool checked);
  std::function<void()> OnClick;

  void Command(WORD notification) override;
};

enum class TVYNAlignment { Left, Center, Right };

struct TVYNLabelOptions {
  bool WordWrap = true;
  // Draws only the text, over whatever the form painted behind it.
  bool Transparent = true;
  TVYNAlignment Alignment = TVYNAlignment::Left;
  // A link label opens this address or file through the shell when clicked; empty for none.
  String LinkTarget{};
};

class TVYNLabel : public TVYNControl {
 public:
  TVYNLabel(TVYNForm& form, int id, const TVYNBounds& bounds, const String& caption,
            const TVYNLabelOptions& options = {}, const TVYNFontStyle& font = {});

  const String& LinkTarget() const { return options_.LinkTarget; }
  void SetLinkTarget(const String& target) { options_.LinkTarget = target; }
  // A colour of its own instead of the look's (a red error title, a link's blue); none for
  // the look's.
  void SetTextColor(std::optional<COLORREF> colour);
  // Paints the label opaque in this colour: for labels over a part of the form painted in
  // another colour than the look's background (the footer), which a see-through label cannot
  // repaint behind itself. None for see-through (or the look's background).
  void SetBackgroundColor(std::optional<COLORREF> colour);
  // Called instead of the shell when set (a test, or a form that opens links itself).
  std::function<void(const String& target)> OnLinkClick;

  void Command(WORD notification) override;
  HBRUSH ControlColor(HDC dc) override;
  HCURSOR Cursor() const override;

 private:
  TVYNLabelOptions options_;
  std::optional<COLORREF> text_colour_;
  std::optional<COLORREF> background_colour_;
  platform::ScopedBrush background_brush_;
};

// A bar from 0 to 100 painted in the form's accent colour. It is its own window class, which
// answers PBM_SETPOS and PBM_GETPOS as the system's progress bar does.
class TVYNProgressBar : public TVYNControl {
 public:
  TVYNProgressBar(TVYNForm& form, int id, const TVYNBounds& bounds);

  int Position() const;
  // Clamped to 0..100.
  void SetPosition(int position);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
};

// A read-only, multi-line edit with a vertical scroll bar.
class TVYNMemo : public TVYNControl {
 public:
  TVYNMemo(TVYNForm& form, int id, const TVYNBounds& bounds, const String& text = {});
};
