// The class reference of a Win32 wizard page: its name and a constructor that builds the page
// with what its window needs, then its controls and texts (Windows only).
#pragma once

#include <memory>

#include "ui/installer_page_win.h"

template <class Page>
TInstallerPageClass MakePageClass(StringView name, const TInstallerPageContext& context) {
  return TInstallerPageClass{name, [context]() -> std::unique_ptr<TInstallerCustomPage> {
                               auto page = std::make_unique<Page>(context);
                               page->Initialize();
                               return page;
                             }};
}
