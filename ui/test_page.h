// A page for the wizard's tests whose answers the test sets, and a list built from a pattern.
#pragma once

#include <memory>
#include <string_view>

#include "ui/installer_custom_page.h"
#include "ui/installer_page_list.h"

class TTestPage : public TInstallerCustomPage {
 public:
  explicit TTestPage(TInstallerPageKind kind = TInstallerPageKind::pkOrdinary,
                     StringView class_name = u"TInstallerPageTest")
      : TInstallerCustomPage(class_name, kind) {}

  int32_t GetProgress() const override { return Progress; }
  bool CanGoBack() const override { return Back; }
  bool CanGoNext() const override { return Next; }
  bool IsAvailable() const override { return Available; }
  void Prepare() override { ++PrepareCount; }

  int32_t Progress = 0;
  bool Back = true;
  bool Next = true;
  bool Available = true;
  int PrepareCount = 0;
};

// One page per character: '+' available, '-' unavailable, 'I' an install page, 'U' an
// uninstall page, 'F' a full-screen page.
inline void AddTestPages(TInstallerPageList& pages, std::string_view pattern) {
  for (const char code : pattern) {
    TInstallerPageKind kind = TInstallerPageKind::pkOrdinary;
    if (code == 'I') kind = TInstallerPageKind::pkInstall;
    if (code == 'U') kind = TInstallerPageKind::pkUninstall;
    if (code == 'F') kind = TInstallerPageKind::pkFullScreen;
    auto page = std::make_unique<TTestPage>(kind);
    page->Available = code != '-';
    pages.Add(std::move(page));
  }
}

inline TTestPage& TestPageAt(const TInstallerPageList& pages, size_t index) {
  return static_cast<TTestPage&>(pages[index]);
}
