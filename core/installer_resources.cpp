// The installer's resources.
#include "core/installer_resources.h"

#include <string>

#include "core/installer.h"
#include "core/installer_errors.h"
#include "core/installer_language_dialog.h"
#include "core/installer_path.h"
#include "core/installer_product_info.h"
#include "platform/file_name.h"
#include "platform/process.h"
#include "platform/shell_folders.h"
#include "support/format_text.h"
#include "support/names.h"

namespace {

// The extension, from the last "." that follows every blank, backslash, slash and colon.
StringView Extension(StringView name) {
  const size_t dot = name.find_last_of(u". \\/:");
  if (dot == StringView::npos || name[dot] != u'.') return {};
  return name.substr(dot);
}

String ChangeExtension(StringView path, StringView extension) {
  const StringView current = Extension(path);
  return String(path.substr(0, path.size() - current.size())) + String(extension);
}

String WithDelimiter(String folder) {
  if (folder.empty() || folder.back() != u'\\') folder.push_back(u'\\');
  return folder;
}

String ShellFolderOrTemporary(platform::ShellFolder folder) {
  String path;
  if (!platform::GetShellFolder(folder, path) || path.empty()) return platform::TemporaryFolder();
  return WithDelimiter(path);
}

void ReplaceAll(String& text, StringView variable, const std::function<String()>& value) {
  size_t position = text.find(variable);
  if (position == String::npos) return;
  // Asked only when the variable occurs: $NAME raises for a script without a product name,
  // which must not break texts that never mention it.
  const String replacement = value();
  while (position != String::npos) {
    text.replace(position, variable.size(), replacement);
    position = text.find(variable, position + replacement.size());
  }
}

// Every language file is read whole, several times over (the language dialog reads them all, a
// run merges its language over English), and held as text many times its size in memory.
// Refusing an oversized one before any of that, from the package's table alone, keeps a damaged
// or hostile package from costing gigabytes.
void CheckLanguageFileSizes(const TSetupPackageReader& package) {
  const TSetupPackageFileTable& table = package.FileTable();
  for (int i = 0; i < table.Count(); ++i) {
    const TSetupPackageFileTableItem& item = table.Items(i);
    if (item.Size > MaximumLanguageFileSize && SameName(Extension(item.Name), u".lng")) {
      throw EInstallerInstallError(
          FormatText(u"The language file \"%s\" holds %d bytes, more than the %d bytes a language "
                     u"file may hold.",
                     {item.Name, Utf8ToString(std::to_string(item.Size)),
                      Utf8ToString(std::to_string(MaximumLanguageFileSize))}));
    }
  }
}

[[noreturn]] void RaiseNotInSetup(StringView name) {
  throw EInstallerInstallError(FormatText(u"Cannot locate \"%s\" file in setup archive", {name}));
}

}  // namespace

TInstallerResources::TInstallerResources() {
  setup_package_ = std::make_unique<TSetupPackageReader>(nullptr, u"SETUP");
  const String program = platform::GetProgramFileName();
  if (SameName(platform::ExtractFileName(program), u"Uninstall.exe")) {
    product_package_ = std::make_unique<TSetupPackageReader>(ChangeExtension(program, u".dat"));
  } else {
    product_package_ = std::make_unique<TSetupPackageReader>(nullptr, u"PRODUCT");
  }
  script_.Load(*GetStream(u"Install.xml"));

  const TSetupPackageFileTable& table = setup_package_->FileTable();
  for (int i = 0; i < table.Count(); ++i) {
    if (SameName(Extension(table.Items(i).Name), u".lng")) languages_.Add(table.Items(i).Name);
  }
  languages_.SortLogical();
  CheckLanguageFileSizes(*setup_package_);
  CheckLanguageFileSizes(*product_package_);

  desktop_folder_ = ShellFolderOrTemporary(platform::ShellFolder::CommonDesktop);
  start_menu_folder_ = ShellFolderOrTemporary(platform::ShellFolder::CommonPrograms);
  program_files_folder_ = ShellFolderOrTemporary(platform::ShellFolder::ProgramFiles);
  program_files_x86_folder_ =
      program_files_folder_.substr(0, program_files_folder_.size() - 1) + u" (x86)\\";
}

void TInstallerResources::InitializeLanguages() {
  language_.LoadFromStream(*GetStream(u"English.lng"));
  const String chosen = TInstallerLanguageDialog::SelectLanguage();
  TVYNIniFile translation;
  translation.LoadFromStream(*GetStream(chosen));
  language_name_ = platform::ExtractFileName(chosen);
  language_name_.resize(language_name_.size() - Extension(language_name_).size());
  language_.Merge(translation, true);
}

TSetupPackageReader* TInstallerResources::PackageHolding(StringView name) const {
  if (product_package_->Contains(name)) return product_package_.get();
  if (setup_package_->Contains(name)) return setup_package_.get();
  return nullptr;
}

std::unique_ptr<TMemoryStream> TInstallerResources::GetStream(StringView name) {
  if (TSetupPackageReader* package = PackageHolding(name)) return package->Extract(name);
  RaiseNotInSetup(name);
}

std::unique_ptr<TMemoryViewStream> TInstallerResources::GetView(StringView name) const {
  if (const TSetupPackageReader* package = PackageHolding(name)) return package->View(name);
  RaiseNotInSetup(name);
}

std::unique_ptr<TVYNStringList> TInstallerResources::GetStringList(StringView name) {
  auto list = std::make_unique<TVYNStringList>();
  list->LoadFromStream(*GetStream(name));
  return list;
}

std::unique_ptr<TMemoryStream> TInstallerResources::GetLicense() {
  const TInstallerScriptFile* license = script_.License.Find(GetLanguageFamily());
  if (license == nullptr) license = script_.License.Find(u"EN");
  if (license == nullptr) return nullptr;
  return GetStream(license->Name);
}

String TInstallerResources::GetLanguageFamily() const {
  return language_.ReadString(u"File", u"Family", u"EN");
}

String TInstallerResources::GetString(StringView section, StringView key) const {
  return ExpandVariables(language_.ReadString(section, key, u""));
}

String TInstallerResources::ExpandVariables(StringView text) const {
  return ReplaceVariables(text, true);
}

String TInstallerResources::ExpandPathVariables(StringView text) const {
  return ReplaceVariables(text, false);
}

String TInstallerResources::ReplaceVariables(StringView text, bool line_breaks) const {
  String result(text);
  const TInstallerProductInfo& product = Installer->ProductInfo();
  if (line_breaks) ReplaceAll(result, u"\\n", [] { return String(u"\r\n"); });
  ReplaceAll(result, u"$DEST", [] { return Installer->DestPath(); });
  ReplaceAll(result, u"$TEMP", [] { return platform::TemporaryFolder(); });
  ReplaceAll(result, u"$LINK", [&] { return product.GetHomePage(); });
  ReplaceAll(result, u"$NAME", [&] { return product.GetName(); });
  ReplaceAll(result, u"$VERSION", [&] { return product.GetFullVersion(); });
  ReplaceAll(result, u"$DESKTOP", [this] { return desktop_folder_; });
  ReplaceAll(result, u"$STARTMENU", [this] { return start_menu_folder_; });
  ReplaceAll(result, u"$PROGRAMS", [this] { return program_files_folder_; });
  return result;
}

String TInstallerResources::ExpandPath(StringView text) const {
  // The same clean-up as the destination's, so that "$DEST\…" lands in DestPath exactly.
  return CleanInstallerPath(ExpandPathVariables(text));
}
