// The window side of a wizard page: a panel on the form that holds the page's controls, takes
// their texts from the page's section of the language file and paints the page's background
// (Windows only). The navigation rules come from TInstallerCustomPage.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "support/rect.h"
#include "ui/installer_custom_page.h"
#include "ui/installer_palette.h"
#include "ui/vyn_controls_win.h"
#include "ui/vyn_panel_win.h"
#include "ui/vyn_picture_win.h"

class TVYNForm;

// What every page's window is made with: the form it lives on and the wizard's palette.
struct TInstallerPageContext {
  TVYNForm& Form;
  // The palette in force; the form recomputes it when the colour scheme changes.
  const TInstallerPalette& Palette;
};

class TInstallerPage : public TInstallerCustomPage {
 public:
  TInstallerPage(const TInstallerPageContext& context, StringView class_name,
                 TInstallerPageKind kind);
  ~TInstallerPage() override;

  // Builds the controls, then sets the texts. Run once, right after construction, by the
  // page's class (a constructor cannot reach the derived page's controls).
  void Initialize();

  const String& Title() const { return title_; }
  const String& Description() const { return description_; }

  // Places the page on the form (bounds at 96 DPI) and shows or hides it with its controls.
  void ShowAt(const TRect& bounds);
  void Hide();
  bool IsShown() const;
  TVYNPanel& Panel() { return *panel_; }

 protected:
  virtual void CreateControls() {}
  // Title and description, then every named control's caption from the page's section.
  virtual void Localize();
  // Called after the page became visible.
  virtual void Shown() {}
  // The page background: a vertical gradient between the palette's two page colours.
  virtual void Paint(HDC dc, const RECT& client);

  // The page's size at 96 DPI: controls aligned to its edges are placed from it.
  int PageWidth() const;
  int PageHeight() const;

  // The text of Key in the page's section, variables expanded.
  String GetText(StringView key) const;

  // Adopts a control made on the form: moves it onto the page and, when it has a name, gives
  // it its caption from the language file in Localize.
  template <class Control>
  Control& Adopt(std::unique_ptr<Control> control, StringView name = {}) {
    Control& adopted = *control;
    AddNamedControl(std::move(control), name);
    return adopted;
  }
  TVYNCheckBox& CreateCheckBox(const TVYNBounds& bounds, StringView name,
                               std::function<void()> on_click);
  TVYNLabel& CreateLabel(const TVYNBounds& bounds, StringView name, bool word_wrap,
                         const TVYNFontStyle& font = {});
  // A label in the section headings' font, without wrapping.
  TVYNLabel& CreateHeaderLabel(const TVYNBounds& bounds, StringView name);

  // An ID for a new control, unique on the form, so a test driver can address it.
  static int NewControlId();

  TVYNForm& Form() const { return form_; }
  const TInstallerPalette& Palette() const { return palette_; }

 private:
  void AddNamedControl(std::unique_ptr<TVYNControl> control, StringView name);

  struct NamedControl {
    String Name;
    std::unique_ptr<TVYNControl> Control;
  };

  TVYNForm& form_;
  const TInstallerPalette& palette_;
  std::unique_ptr<TVYNPanel> panel_;
  std::vector<NamedControl> controls_;
  String title_;
  String description_;
};

// A page that covers the form's header and strip: the side picture on the left, a title label
// "L1" and a body label "L2" beside it.
class TInstallerPageFullScreen : public TInstallerPage {
 public:
  TInstallerPageFullScreen(const TInstallerPageContext& context, StringView class_name);

 protected:
  void CreateControls() override;
  void Paint(HDC dc, const RECT& client) override;

  TVYNLabel* title_label_ = nullptr;
  TVYNLabel* body_label_ = nullptr;

 private:
  TVYNPicture side_picture_;
};

// Loads a picture of the setup package. Raises the resources' "Cannot locate" error when the
// package lacks it, and says which file is no picture when it cannot be decoded.
TVYNPicture LoadInstallerPicture(StringView name);
