#include "ui/installer_custom_page.h"

#include "core/installer.h"

namespace {

constexpr StringView ClassPrefix = u"TInstaller";

}  // namespace

String GetPageSectionName(StringView class_name) {
  if (class_name.starts_with(ClassPrefix)) class_name.remove_prefix(ClassPrefix.size());
  return String(class_name);
}

TInstallerCustomPage::TInstallerCustomPage(StringView class_name, TInstallerPageKind kind)
    : class_name_(class_name), section_name_(GetPageSectionName(class_name)), kind_(kind) {}

void TInstallerCustomPage::Changed() {
  if (Installer != nullptr) Installer->SendNotification(ncChanged, 0);
}
