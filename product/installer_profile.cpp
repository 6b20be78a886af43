// Where the player keeps its profiles.
#include "product/installer_profile.h"

#include "core/installer.h"
#include "core/installer_product_info.h"
#include "product/user_accounts.h"

String TInstallerProfileHelper::GetProfilePath(const TVYNUserAccountInfo* account,
                                               int32_t version) {
  if (account == nullptr) return Installer->DestPath() + u"Profile\\";
  // Versions before 4.00 kept their settings under the name of their major version.
  const String folder = version >= 4000 ? Installer->ProductInfo().GetName() : String(u"ZELO3");
  return account->AppDataPath + folder + u'\\';
}

String TInstallerProfileHelper::GetNewProfilePath(const TVYNUserAccountInfo* account) {
  return GetProfilePath(account, Installer->ProductInfo().GetVersionId());
}

String TInstallerProfileHelper::GetInstalledProfilePath(const TVYNUserAccountInfo* account) {
  return GetProfilePath(account, Installer->ProductInfo().GetInstalledVersion());
}
