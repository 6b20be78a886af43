// The extraction action.
#include "core/installer_action_extract.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/installer.h"
#include "core/installer_application_repository.h"
#include "core/installer_errors.h"
#include "core/installer_extract_helper.h"
#include "core/installer_path.h"
#include "core/installer_product_info.h"
#include "core/installer_resources.h"
#include "package/installer_script.h"
#include "package/setup_package_builder.h"
#include "platform/change_observer.h"
#include "platform/file.h"
#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/locale.h"
#include "platform/process.h"
#include "platform/resource.h"
#include "platform/shell_folders.h"
#include "support/file_stream.h"
#include "support/format_text.h"
#include "support/ini_file.h"
#include "support/names.h"

namespace {

constexpr char16_t UninstallerName[] = u"Uninstall.exe";
constexpr char16_t UninstallDataName[] = u"Uninstall.dat";
constexpr int UninstallDataLevel = 4;

constexpr StringView DestVariable = u"$DEST";

String Decimal(int value) {
  return Utf8ToString(std::to_string(value));
}

[[noreturn]] void RefuseTarget(StringView name, StringView why) {
  throw EInstallerInstallError(FormatText(u"The installation script places a file at \"%s\", %s.",
                                          {QuotablePath(name), why}));
}

// The folder that a target's leading variable names, cleaned as targets are; empty for a target
// that starts with none. The destination is not among them: every target may lie in it.
String FolderOfLeadingVariable(StringView name) {
  const TInstallerResources& resources = Installer->Resources();
  const std::pair<StringView, String> folders[] = {
      {u"$TEMP", platform::TemporaryFolder()},
      {u"$DESKTOP", resources.DesktopFolder()},
      {u"$STARTMENU", resources.StartMenuFolder()},
      {u"$PROGRAMS", resources.ProgramFilesFolder()},
  };
  for (const auto& [variable, folder] : folders) {
    if (name.starts_with(variable)) {
      return platform::IncludeTrailingPathDelimiter(CleanInstallerPath(folder));
    }
  }
  return String();
}

// Whether two entries can both be installed in one run: one of them is for every language, or
// both are for the same family.
bool CanBeInstalledTogether(const TInstallerScriptFile& a, const TInstallerScriptFile& b) {
  return a.LangFamily.empty() || b.LangFamily.empty() || SameName(a.LangFamily, b.LangFamily);
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

// The bytes a packaged file holds, in the package extraction takes it from; 0 for a name
// neither package holds.
int64_t PackagedSize(StringView name) {
  const TSetupPackageReader* package = Installer->Resources().PackageHolding(name);
  return package != nullptr ? package->FileTable().Find(name)->Size : 0;
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
  RemoveLeftoversOfOtherLanguages();
  SetStatus(GetCommonText(u"A7"));
  WriteUninstallData(Installer->DestPath(), files);
}

void TInstallerActionExtract::CheckTargets(const TInstallerScript& script) {
  TInstallerResources& resources = Installer->Resources();
  // Cleaned as every target is, so that comparisons see what will be written. Not expanded: a
  // folder the user named "$TEMP" is a folder, not a variable.
  const String destination =
      platform::IncludeTrailingPathDelimiter(CleanInstallerPath(Installer->DestPath()));
  const String family = resources.GetLanguageFamily();
  const String uninstaller = destination + UninstallerName;
  const String uninstall_data = destination + UninstallDataName;
  // Every target so far by its name as Windows compares it, for the entries that share it.
  std::unordered_map<String, std::vector<const TInstallerScriptFile*>> placed;

  const TInstallerScriptGroup& components = script.Components;
  for (int i = 0; i < components.Count(); ++i) {
    const TInstallerScriptFile& entry = components.Items(i);
    const String& name = entry.Name;
    if (const String problem = TargetNameProblem(name); !problem.empty()) {
      RefuseTarget(name, u"which cannot be written as it reads: " + problem);
    }
    const String target = resources.ExpandPath(name);
    if (!platform::IsAbsolutePath(target)) RefuseTarget(name, u"which is not a full path");
    const String folder = FolderOfLeadingVariable(name);
    if (!platform::IsPathInFolder(target, destination) &&
        (folder.empty() || !platform::IsPathInFolder(target, folder))) {
      RefuseTarget(name, FormatText(u"which is \"%s\", outside the destination folder and outside "
                                    u"the folder its variable names",
                                    {QuotablePath(target)}));
    }
    if (const String device = DeviceNameIn(target); !device.empty()) {
      RefuseTarget(name, FormatText(u"which names the device \"%s\"", {device}));
    }
    if (platform::SameFileName(target, uninstaller) ||
        platform::SameFileName(target, uninstall_data)) {
      RefuseTarget(name, u"where the uninstaller's own file goes");
    }
    std::vector<const TInstallerScriptFile*>& same = placed[platform::UpperCase(target)];
    for (const TInstallerScriptFile* other : same) {
      if (CanBeInstalledTogether(*other, entry)) {
        RefuseTarget(name, FormatText(u"the same file as \"%s\" to Windows, which ignores letter "
                                      u"case and trailing dots and blanks",
                                      {QuotablePath(other->Name)}));
      }
    }
    same.push_back(&entry);
    if (entry.MatchesLanguage(family) && target.size() > MaximumInstalledPathLength) {
      RefuseTarget(name, FormatText(u"whose full path would be %d characters long, more than the "
                                    u"%d that Windows programs handle: choose a shorter "
                                    u"destination folder",
                                    {Decimal(static_cast<int>(target.size())),
                                     Decimal(static_cast<int>(MaximumInstalledPathLength))}));
    }
  }
}

String TInstallerActionExtract::DestinationLengthProblem(const TInstallerScript& script,
                                                         StringView destination) {
  TInstallerResources& resources = Installer->Resources();
  const String family = resources.GetLanguageFamily();
  // The longest path below the destination of a file this run installs there; the uninstaller
  // always is one of them.
  String longest = UninstallerName;
  const TInstallerScriptGroup& components = script.Components;
  for (int i = 0; i < components.Count(); ++i) {
    const TInstallerScriptFile& entry = components.Items(i);
    if (!entry.MatchesLanguage(family) || !StringView(entry.Name).starts_with(DestVariable)) {
      continue;
    }
    String below =
        CleanInstallerPath(resources.ExpandPathVariables(entry.Name.substr(DestVariable.size())));
    const size_t delimiters = std::min(below.find_first_not_of(u'\\'), below.size());
    below.erase(0, delimiters);
    if (below.size() > longest.size()) longest = std::move(below);
  }
  const String folder = platform::IncludeTrailingPathDelimiter(CleanInstallerPath(destination));
  if (folder.size() + longest.size() <= MaximumInstalledPathLength) return String();
  // The folder, without its trailing delimiter, that would still leave room.
  const size_t room = longest.size() + 1 < MaximumInstalledPathLength
                          ? MaximumInstalledPathLength - longest.size() - 1
                          : 0;
  return FormatText(
      u"The destination folder \"%s\" is too long for the files installed in it: \"%s\" would get "
      u"a path of %d characters, more than the %d that Windows programs handle. Choose a folder "
      u"of at most %d characters.",
      {QuotablePath(destination), longest,
       Decimal(static_cast<int>(folder.size() + longest.size())),
       Decimal(static_cast<int>(MaximumInstalledPathLength)), Decimal(static_cast<int>(room))});
}

void TInstallerActionExtract::RemoveLeftoversOfOtherLanguages() {
  const String family = Resources().GetLanguageFamily();
  const TInstallerScriptGroup& components = Script().Components;
  for (int i = 0; i < components.Count(); ++i) {
    const TInstallerScriptFile& entry = components.Items(i);
    if (entry.MatchesLanguage(family)) continue;
    Installer->ExtractHelper().RemoveLeftoverTemporary(Resources().ExpandPath(entry.Name));
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
    // Each installed file holds its packaged bytes (or will, after the restart); counted from
    // the package, because opening every file again costs more than writing a small one.
    int64_t installed_bytes = 0;
    for (const TInstallerScriptFile* file : files) {
      installed_bytes += PackagedSize(file->SourceName());
    }
    installed_bytes += SizeOfFile(exe_path) + SizeOfFile(dat_path);
    const auto kib = static_cast<uint32_t>((installed_bytes + 1023) / 1024);
    TInstallerApplicationRepository::RegisterDeploymentValues(product.GetName(), exe_path, kib,
                                                              DisplayIconOf(exe_path));
  }
}
