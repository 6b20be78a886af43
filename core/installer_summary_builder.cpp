// The summary of the ready-to-install page.
#include "core/installer_summary_builder.h"

#include "core/installer.h"
#include "core/installer_product_info.h"
#include "core/installer_resources.h"

void TInstallerSummaryBuilder::SetHeading(StringView text) {
  pending_heading_ = String(text);
}

void TInstallerSummaryBuilder::SetHeadingText(StringView section, StringView key) {
  SetHeading(Installer->Resources().GetString(section, key));
}

void TInstallerSummaryBuilder::AddItem(StringView text) {
  if (!pending_heading_.empty()) {
    if (!text_.empty()) text_ += u"\r\n";
    text_ += pending_heading_ + u"\r\n";
    pending_heading_.clear();
  }
  text_ += u"    " + String(text) + u"\r\n";
}

void TInstallerSummaryBuilder::AddItemText(StringView section, StringView key) {
  AddItem(Installer->Resources().GetString(section, key));
}

String TInstallerSummaryBuilder::BuildForCurrentRun() {
  TInstallerSummaryBuilder builder;
  Installer->ProductInfo().PopulateActions([&builder](const TInstallerActionClass& action_class) {
    action_class.Create()->BuildSummary(builder);
  });
  return builder.ToString();
}
