// Which pages the wizard shows for a run: the product's own pages unless the run is automatic,
// then the pages that run the installation (or uninstallation) and report its end.
#pragma once

#include <functional>

#include "core/installer.h"
#include "core/installer_product_info.h"
#include "platform/text.h"
#include "ui/installer_custom_page.h"
#include "ui/installer_page_list.h"

// The page class of a name, or none when the name is not one of the wizard's page classes.
using TInstallerPageClassLookup = std::function<const TInstallerPageClass*(StringView name)>;

inline constexpr StringView InstallPageClassName = u"TInstallerPageInstall";
inline constexpr StringView FinishPageClassName = u"TInstallerPageFinish";
inline constexpr StringView UninstallPageClassName = u"TInstallerPageUninstall";
inline constexpr StringView UninstallFinishPageClassName = u"TInstallerPageUninstallFinish";

// Appends the run's pages to Pages, creating each through its class. Names the lookup does not
// know are passed over, as classes that are not pages would be. The run's own pages must be
// known: without them the wizard could neither run nor end, so a missing one raises
// EInstallerGeneralError (a fault of the program, like a missing product class).
void CreateInstallerPages(TInstallerPageList& pages, const TInstallerProductInfo& product_info,
                          TInstallerMode mode, bool auto_run,
                          const TInstallerPageClassLookup& lookup);
