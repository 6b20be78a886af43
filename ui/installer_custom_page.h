// The navigation side of a wizard page: what the form asks a page (may the user leave it, does
// it take part at all, how far has it got) and what it needs to tell kinds of pages apart.
// Windows, controls and painting are not here: the Win32 page classes derive from this one and
// add their window, so the form's rules stay portable and are tested on the host.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/text.h"

// The kinds of page the form treats differently. The uninstall page is an install page too
// (it shares all of its code and only reads other texts), so kind tests go through the
// Is* operations below rather than comparing kinds.
enum class TInstallerPageKind : uint8_t {
  pkOrdinary,    // shown below the header and the step strip
  pkFullScreen,  // covers the form's header and strip (welcome, finish)
  pkInstall,     // runs the installation
  pkUninstall,   // runs the uninstallation
};

class TInstallerCustomPage {
 public:
  TInstallerCustomPage(StringView class_name, TInstallerPageKind kind);
  virtual ~TInstallerCustomPage() = default;
  TInstallerCustomPage(const TInstallerCustomPage&) = delete;
  TInstallerCustomPage& operator=(const TInstallerCustomPage&) = delete;

  // The navigation virtuals, in the order later layers expect them.
  // How far the page has got, 0 to 100: the step strip fills its segment that far.
  virtual int32_t GetProgress() const { return 0; }
  virtual bool CanGoBack() const { return true; }
  virtual bool CanGoNext() const { return true; }
  // An unavailable page stays in the list (the strip keeps its segment); navigation skips it.
  virtual bool IsAvailable() const { return true; }
  // Runs each time the page becomes active, so it shows the installer's current state.
  virtual void Prepare() {}

  // Tells the form (through the installer's notification, ncChanged) that the page's input
  // changed, so it re-evaluates its buttons. Does nothing without an installer object.
  void Changed();

  const String& ClassName() const { return class_name_; }
  // The page's section in the language file, also its component name.
  const String& SectionName() const { return section_name_; }

  TInstallerPageKind Kind() const { return kind_; }
  bool IsFullScreen() const { return kind_ == TInstallerPageKind::pkFullScreen; }
  bool IsInstallPage() const {
    return kind_ == TInstallerPageKind::pkInstall || kind_ == TInstallerPageKind::pkUninstall;
  }
  bool IsUninstallPage() const { return kind_ == TInstallerPageKind::pkUninstall; }

 private:
  String class_name_;
  String section_name_;
  TInstallerPageKind kind_;
};

// The class name without its "TInstaller" prefix: "TInstallerPageSetup" gives "PageSetup". A
// name without the prefix is kept whole rather than cut at a fixed length.
String GetPageSectionName(StringView class_name);

// A page class reference: the class's name and its virtual constructor (which may carry what
// the page's window is made with).
struct TInstallerPageClass {
  StringView Name;
  std::function<std::unique_ptr<TInstallerCustomPage>()> Create;
};
