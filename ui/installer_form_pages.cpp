#include "ui/installer_form_pages.h"

#include "core/installer_errors.h"

namespace {

void AddRequiredPage(TInstallerPageList& pages, const TInstallerPageClassLookup& lookup,
                     StringView name) {
  const TInstallerPageClass* page_class = lookup(name);
  if (page_class == nullptr) {
    throw EInstallerGeneralError(u"Page class " + String(name) + u" is not registered");
  }
  pages.Add(*page_class);
}

}  // namespace

void CreateInstallerPages(TInstallerPageList& pages, const TInstallerProductInfo& product_info,
                          TInstallerMode mode, bool auto_run,
                          const TInstallerPageClassLookup& lookup) {
  if (!auto_run) {
    product_info.PopulatePages([&](StringView name) {
      if (const TInstallerPageClass* page_class = lookup(name)) pages.Add(*page_class);
    });
  }
  if (mode == imInstall) {
    AddRequiredPage(pages, lookup, InstallPageClassName);
    AddRequiredPage(pages, lookup, FinishPageClassName);
  } else {
    AddRequiredPage(pages, lookup, UninstallPageClassName);
    AddRequiredPage(pages, lookup, UninstallFinishPageClassName);
  }
}
