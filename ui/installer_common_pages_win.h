// The pages every product's wizard uses: welcome, licence, ready to install, install and
// uninstall progress, and the two finish pages (Windows only).
#pragma once

#include <memory>
#include <vector>

#include "core/installer.h"
#include "ui/installer_page_win.h"
#include "ui/vyn_rich_viewer_win.h"

class TInstallerPageWelcome : public TInstallerPageFullScreen {
 public:
  explicit TInstallerPageWelcome(const TInstallerPageContext& context)
      : TInstallerPageFullScreen(context, u"TInstallerPageWelcome") {}
};

class TInstallerPageLicense : public TInstallerPage {
 public:
  explicit TInstallerPageLicense(const TInstallerPageContext& context);

  bool CanGoBack() const override { return false; }
  bool CanGoNext() const override;
  void Prepare() override;

 protected:
  void CreateControls() override;
  void Shown() override;

 private:
  TVYNRichViewer* viewer_ = nullptr;
  TVYNCheckBox* accept_box_ = nullptr;
};

class TInstallerPageReadyToInstall : public TInstallerPage {
 public:
  explicit TInstallerPageReadyToInstall(const TInstallerPageContext& context);

  void Prepare() override;

 protected:
  void CreateControls() override;

 private:
  TVYNRichViewer* viewer_ = nullptr;
};

// Follows the run: the status line and two bars (the current action's and the whole run's).
// It listens to the installer from its creation, so in automatic runs, where it is the first
// page and starts the run while the form is still being built, it misses nothing.
class TInstallerPageInstall : public TInstallerPage, public IInstallerNotify {
 public:
  explicit TInstallerPageInstall(const TInstallerPageContext& context)
      : TInstallerPageInstall(context, u"TInstallerPageInstall", TInstallerPageKind::pkInstall) {}
  ~TInstallerPageInstall() override;

  int32_t GetProgress() const override;
  bool CanGoBack() const override { return false; }
  bool CanGoNext() const override { return finished_; }
  // Starts the run; returning to the page cannot start a second one.
  void Prepare() override;
  void Notify(int32_t code, intptr_t param) override;

 protected:
  TInstallerPageInstall(const TInstallerPageContext& context, StringView class_name,
                        TInstallerPageKind kind);
  void CreateControls() override;

 private:
  TVYNLabel* status_label_ = nullptr;
  TVYNProgressBar* current_bar_ = nullptr;
  TVYNProgressBar* overall_bar_ = nullptr;
  bool finished_ = false;
};

class TInstallerPageUninstall : public TInstallerPageInstall {
 public:
  explicit TInstallerPageUninstall(const TInstallerPageContext& context)
      : TInstallerPageInstall(context, u"TInstallerPageUninstall",
                              TInstallerPageKind::pkUninstall) {}
};

// The last page: the result, or the error list under a red title.
class TInstallerPageCustomFinish : public TInstallerPageFullScreen {
 public:
  using TInstallerPageFullScreen::TInstallerPageFullScreen;

  bool CanGoBack() const override { return false; }
  void Prepare() override;

 protected:
  void CreateControls() override;

  TVYNMemo* error_memo_ = nullptr;
};

// The installation's last page adds the post-install choices and the home-page link.
class TInstallerPageFinish : public TInstallerPageCustomFinish {
 public:
  explicit TInstallerPageFinish(const TInstallerPageContext& context)
      : TInstallerPageCustomFinish(context, u"TInstallerPageFinish") {}

  void Prepare() override;

 protected:
  void CreateControls() override;

 private:
  // Stores each choice under "Actions" for the post-install commands.
  void WriteActions();

  TVYNLabel* home_page_label_ = nullptr;
  std::vector<TVYNCheckBox*> action_boxes_;
};

class TInstallerPageUninstallFinish : public TInstallerPageCustomFinish {
 public:
  explicit TInstallerPageUninstallFinish(const TInstallerPageContext& context)
      : TInstallerPageCustomFinish(context, u"TInstallerPageUninstallFinish") {}
};

// The classes of the pages above, made with Context.
std::vector<TInstallerPageClass> GetCommonPageClasses(const TInstallerPageContext& context);
