// The player's settings file.
#include "product/installer_action_config.h"

#include "core/installer.h"
#include "core/installer_product_info.h"
#include "core/installer_resources.h"
#include "support/ini_file.h"

void TInstallerActionConfig::Execute() {
  SetStatus(GetCommonText(u"A6"));
  // Saved when released, and only when something changed.
  TVYNIniFile config(Installer->DestPath() + u"ZELO.ini", true);
  config.WriteSectionText(u"Integration", OptionStore().ReadSectionText(u"Integration"));
  config.EraseSection(u"System");
  config.WriteInteger(u"System", u"UserMode", Installer->HasOption(ioPortable) ? 0 : 1);
  config.WriteString(u"System", u"DefaultLang", Resources().LanguageName() + u".lng");
  config.WriteInteger(u"System", u"Version", ProductInfo().GetVersionId());
}
