// Actions and the action list.
#include "core/installer_action.h"

#include "core/installer.h"
#include "core/installer_extract_helper.h"
#include "core/installer_resources.h"

void TInstallerAction::BuildSummary(TInstallerSummaryBuilder&) {}

void TInstallerAction::Run() {
  Execute();
  SetProgress(100);
}

void TInstallerAction::SetProgress(int value) {
  if (value == progress_) return;
  progress_ = value;
  if (OnProgress) OnProgress(*this);
}

void TInstallerAction::SetStatus(StringView text) {
  Installer->SendText(ncStatusText, text);
}

String TInstallerAction::GetText(StringView section, StringView key) const {
  return Resources().GetString(section, key);
}

String TInstallerAction::GetCommonText(StringView key) const {
  return GetText(u"Common", key);
}

void TInstallerAction::ExtractFile(const TInstallerScriptFile& file) {
  Installer->ExtractHelper().ExtractFile(file);
}

void TInstallerAction::MakeDirectory(StringView path) {
  Installer->ExtractHelper().MakeDirectory(path);
}

TInstallerProductInfo& TInstallerAction::ProductInfo() const {
  return Installer->ProductInfo();
}

TInstallerResources& TInstallerAction::Resources() const {
  return Installer->Resources();
}

const TInstallerScript& TInstallerAction::Script() const {
  return Installer->Resources().Script();
}

TVYNIniFile& TInstallerAction::OptionStore() const {
  return Installer->OptionStore();
}

int TInstallerActionList::AverageProgress() const {
  if (actions_.empty()) return 0;
  int sum = 0;
  for (const auto& action : actions_) sum += action->Progress();
  return sum / Count();
}
