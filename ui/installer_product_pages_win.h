// The player's own wizard pages between the common ones: the add-on offered with the Russian
// language, the shell integration of a fresh installation and what an uninstallation removes
// besides the program (Windows only).
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "support/string_list.h"
#include "ui/installer_page_win.h"
#include "ui/vyn_formatted_label_win.h"

// Shortcuts and Windows integration of a fresh, normal installation: five boxes, each click
// storing all five choices under "Integration".
class TInstallerPageIntegration : public TInstallerPage {
 public:
  explicit TInstallerPageIntegration(const TInstallerPageContext& context);

  // Only a fresh installation is integrated: an update keeps the integration it finds, a
  // portable one has none.
  bool IsAvailable() const override;
  // Shows the stored choices (all on by default) without storing anything: until the user
  // clicks, the actions apply their own defaults or what the installation found had.
  void Prepare() override;

 protected:
  void CreateControls() override;

 private:
  void WriteOptions();

  struct TChoice {
    StringView Name;
    StringView Key;
    TVYNCheckBox* Box = nullptr;
  };
  std::array<TChoice, 5> choices_{{{u"CB1", u"ShortcutDesktop"},
                                   {u"CB2", u"ShortcutStartMenu"},
                                   {u"CB4", u"IntegrateToWindows"},
                                   {u"CB3", u"AssociateWithFiles"},
                                   {u"CB5", u"RegisterContextMenu"}}};
};

// An add-on offered with the Russian language: its picture, three choices (the program, its
// file types, its shortcuts) and the links to its licence and privacy policy, all described by
// the package file "addons.ini".
class TInstallerPageAddons : public TInstallerPage {
 public:
  // Loads "addons.ini" and its picture; raises when the package lacks either.
  explicit TInstallerPageAddons(const TInstallerPageContext& context);

  // Entering the page stores all three choices (on unless the user cleared one before).
  void Prepare() override;

 protected:
  void CreateControls() override;
  void Localize() override;
  void Paint(HDC dc, const RECT& client) override;

 private:
  void WriteOptions();

  std::unique_ptr<TVYNStringList> addons_info_;
  TVYNPicture picture_;
  TVYNFormattedLabel* name_label_ = nullptr;
  TVYNFormattedLabel* links_label_ = nullptr;
  TVYNCheckBox* viewer_box_ = nullptr;
  TVYNCheckBox* extensions_box_ = nullptr;
  TVYNCheckBox* shortcuts_box_ = nullptr;
};

// What the uninstallation removes besides the program: the backups and the user's content.
class TInstallerPageUninstallParams : public TInstallerPage {
 public:
  explicit TInstallerPageUninstallParams(const TInstallerPageContext& context);

  // Both off unless stored; nothing is stored until the user clicks.
  void Prepare() override;

 protected:
  void CreateControls() override;

 private:
  void WriteOptions();

  TVYNCheckBox* remove_backups_ = nullptr;
  TVYNCheckBox* remove_content_ = nullptr;
};

// The classes of the pages above, made with Context.
std::vector<TInstallerPageClass> GetProductPageClasses(const TInstallerPageContext& context);
