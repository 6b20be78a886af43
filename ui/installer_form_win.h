// The wizard's main window: one page at a time between a header (title, description, step
// strip) and a footer (version, Back and Next). It follows the run through the installer's
// notifications and starts the post-install commands when it goes (Windows only).
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

#include "core/installer.h"
#include "ui/installer_page_list.h"
#include "ui/installer_page_win.h"
#include "ui/installer_palette.h"
#include "ui/installer_progress_view_info.h"
#include "ui/vyn_controls_win.h"
#include "ui/vyn_form_win.h"
#include "ui/vyn_picture_win.h"

// Stable IDs of the form's own controls, for keyboard handling and test drivers.
inline constexpr int WizardBackButtonId = 10;
inline constexpr int WizardNextButtonId = 11;
inline constexpr int WizardVersionLabelId = 12;

class TInstallerForm : public TVYNForm, public IInstallerNotify {
 public:
  // Builds the form, its pages for the run and shows the first one (hidden until Show). Raises
  // when a picture or a page cannot be made; then no window remains.
  explicit TInstallerForm(int dpi = 0);
  ~TInstallerForm() override;

  void Notify(int32_t code, intptr_t param) override;

  TInstallerPage* ActivePage() const { return active_page_; }
  const TInstallerPageList& Pages() const { return pages_; }
  // The user confirmed closing while the run had not ended.
  bool CancelledByUser() const { return cancelled_by_user_; }

 protected:
  void Paint(HDC dc, const RECT& client) override;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void CreatePages();
  void Localize();
  void UpdateButtons();
  void SetActivePage(TInstallerPage* page);
  void NextClick();
  void BackClick();
  bool CloseQuery();
  void ColorSchemeChanged();
  void ApplyPalette();
  void PaintHeaderTexts(HDC dc, const TRect& area);

  // The form's registration as the installer's listener, undone however the form goes (also
  // when its construction fails halfway).
  class TListening {
   public:
    explicit TListening(IInstallerNotify* listener) : listener_(listener) {
      Installer->AddListener(listener_);
    }
    ~TListening() {
      if (Installer != nullptr) Installer->RemoveListener(listener_);
    }
    TListening(const TListening&) = delete;
    TListening& operator=(const TListening&) = delete;

   private:
    IInstallerNotify* listener_;
  };

  TInstallerPalette palette_;
  TInstallerPageList pages_;
  TInstallerProgressViewInfo progress_view_info_{pages_};
  TVYNPicture header_picture_;
  TVYNPicture header_dark_picture_;
  std::unique_ptr<TVYNButton> back_button_;
  std::unique_ptr<TVYNButton> next_button_;
  std::unique_ptr<TVYNLabel> version_label_;
  std::vector<TInstallerPageClass> page_classes_;
  TInstallerPage* active_page_ = nullptr;
  // A close request came while a notification was being handled; it is repeated after.
  bool close_pending_ = false;
  bool cancelled_by_user_ = false;
  std::optional<TListening> listening_;
};
