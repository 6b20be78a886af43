// The extraction action.
#include "core/installer_action_extract.h"

#include <string>

#include "core/installer.h"
#include "core/installer_application_repository.h"
#include "core/installer_errors.h"
#include "core/installer_extract_helper.h"
#include "core/installer_product_info.h"
#include "core/installer_resources.h"
#include "package/installer_script.h"
#include "package/setup_package_builder.h"
#include "platform/change_observer.h"
#include "platform/file.h"
#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/resource.h"
#include "support/file_stream.h"
#include "support/format_text.h"
#include "support/ini_file.h"
#include "support/names.h"

namespace {

constexpr char16_t UninstallerName[] = u"Uninstall.exe";
constexpr char16_t UninstallDataName[] = u"Uninstall.dat";
constexpr int UninstallDataLevel = 4;

String Decimal(int value) {
  return Utf8ToString(std::to_string(value));
}

// Adds one path to the "Uninstall" section: relative to Destination (cleaned up by ExpandPath)
// when it lies inside it, so that the uninstaller removes the right files wherever the folder
// ends up.
void AddUninstallEntry(TVYNIniFile& ini, StringView destination, StringView path) {
  // Cleaned up exactly as the file was written, so the list names the real file.
  String expanded = Installer->Resources().ExpandPath(path);
  if (expanded.size() >= destination.size() &&
      SameName(StringView(expanded).substr(0, destination.size()), destination)) {
    expanded.erase(0, destination.size());
  }
  const int count = ini.ReadInteger(u"Uninstall", u"Count", 0);
  ini.WriteString(u"Uninstall", Decimal(count), expanded);
  ini.WriteInteger(u"Uninstall", u"Count", count + 1);
}

// The size of a file in bytes; 0 when it cannot be read.
int64_t SizeOfFile(StringView path) {
  platform::File file = platform::File::Open(
      path, platform::FileAccess::Read,
      platform::FileShareRead | platform::FileShareWrite | platform::FileShareDelete,
      platform::FileCreation::OpenExisting);
  int64_t size = 0;
  return file.IsOpen() && file.GetSize(size) ? size : 0;
}

// What the list of programs should show as the product's icon: the program the script names in
// "DisplayIcon" when it is there and has an icon, else the uninstaller.
String DisplayIconOf(StringView uninstaller) {
  const String named =
      Installer->Resources().ExpandPath(Installer->Resources().Script().GetSetting(u"DisplayIcon"));
  if (!named.empty() && platform::FileExists(named) && platform::ProgramHasIcon(named))
    return named;
  return String(uninstaller);
}

}  // namespace

void TInstallerActionExtract::Execute() {
  SetStatus(GetCommonText(u"A4"));
  const std::vector<const TInstallerScriptFile*> files = CreateFileList();
  const size_t count = files.size();
  for (size_t i = 0; i < count; ++i) {
    SetProgress(static_cast<int>(static_cast<double>(i + 1) * 100.0 / static_cast<double>(count)));
    ExtractFile(*files[i]);
  }
  SetStatus(GetCommonText(u"A7"));
  WriteUninstallData(Installer->DestPath(), files);
}

void TInstallerActionExtract::CheckTargets(const TInstallerScript& script) {
  const TInstallerScriptGroup& components = script.Components;
  for (int i = 0; i < components.Count(); ++i) {
    const String& name = components.Items(i).Name;
    const String target = Installer->Resources().ExpandPath(name);
    if (!platform::IsAbsolutePath(target)) {
      throw EInstallerInstallError(FormatText(
          u"The installation script places a file at \"%s\", which is not a full path.", {name}));
    }
  }
}

std::vector<const TInstallerScriptFile*> TInstallerActionExtract::CreateFileList() const {
  const String family = Resources().GetLanguageFamily();
  const TInstallerScriptGroup& components = Script().Components;
  std::vector<const TInstallerScriptFile*> files;
  files.reserve(512);
  for (int i = 0; i < components.Count(); ++i) {
    if (components.Items(i).MatchesLanguage(family)) files.push_back(&components.Items(i));
  }
  return files;
}

void TInstallerActionExtract::WriteUninstallData(
    StringView dest_path, const std::vector<const TInstallerScriptFile*>& files) {
  const String exe_path = String(dest_path) + UninstallerName;
  const String dat_path = String(dest_path) + UninstallDataName;

  // Written whole or not at all, like every file of the product: a full disk must not leave an
  // uninstaller that cannot start.
  const String program = platform::GetProgramFileName();
  TInstallerExtractHelper& helper = Installer->ExtractHelper();
  const bool copied = helper.WriteTargetFile(exe_path, [&program](TStream& file) {
    TFileStream running(program, fmOpenRead | fmShareDenyNone);
    file.CopyFrom(running, 0);
  });
  // The record of the run tells where the uninstaller came from, as a plain copy would.
  if (copied) platform::ReportChange(platform::Change::FileCopied, exe_path, program);

  TVYNIniFile ini;
  ini.Assign(OptionStore());
  // A fresh list: an "Uninstall" section that reached the store from elsewhere is replaced.
  ini.EraseSection(u"Uninstall");
  // Cleaned up like the files' paths, so that a destination typed with a doubled delimiter
  // still contains what was written into it.
  const String destination = Installer->Resources().ExpandPath(dest_path);
  for (const TInstallerScriptFile* file : files) AddUninstallEntry(ini, destination, file->Name);
  AddUninstallEntry(ini, destination, dat_path);
  AddUninstallEntry(ini, destination, exe_path);

  TMemoryStream list;
  ini.SaveToStream(list);  // UTF-16LE with its byte order mark
  list.SetPosition(0);
  TSetupPackageBuilder builder;
  builder.AddFile(list, u"Uninstall.ini");
  helper.WriteTargetFile(dat_path,
                         [&builder](TStream& file) { builder.Commit(file, UninstallDataLevel); });

  if (!Installer->HasOption(ioPortable)) {
    const TInstallerProductInfo& product = ProductInfo();
    TInstallerApplicationRepository::Register(product.GetName(), exe_path, product.GetVersionNo(),
                                              product.GetPublisher(), product.GetHomePage());
    int64_t installed_bytes = 0;
    for (const TInstallerScriptFile* file : files) {
      installed_bytes += SizeOfFile(Installer->ExtractHelper().FileInPlaceAfterRestart(
          Installer->Resources().ExpandPath(file->Name)));
    }
    installed_bytes += SizeOfFile(exe_path) + SizeOfFile(dat_path);
    const auto kib = static_cast<uint32_t>((installed_bytes + 1023) / 1024);
    TInstallerApplicationRepository::RegisterDeploymentValues(product.GetName(), exe_path, kib,
                                                              DisplayIconOf(exe_path));
  }
}
