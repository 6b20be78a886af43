// The installer's resources.
#include "core/installer_resources.h"

#include "core/installer.h"
#include "core/installer_errors.h"
#include "core/installer_language_dialog.h"
#include "core/installer_product_info.h"
#include "platform/process.h"
#include "platform/shell_folders.h"
#include "support/format_text.h"
#include "support/names.h"

namespace {

// The file-name part of a path: after the last backslash, slash or colon.
StringView FileNamePart(StringView path) {
  const size_t separator = path.find_last_of(u"\\/:");
  return separator == StringView::npos ? path : path.substr(separator + 1);
}

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
  if (!platform::GetShellFolder(folder, path) || path.empty()) {
    platform::GetTempFolder(path);
  }
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

// One part of a path between backslashes, cleaned up for use as a file or folder name.
String CleanPathPart(StringView part) {
  String clean;
  for (const char16_t c : part) {
    if (c == u'"') {
      clean.push_back(u'\'');
    } else if (String(u"\\<>*:?|/").find(c) == String::npos) {
      clean.push_back(c);
    }
  }
  const size_t first = clean.find_first_not_of(u' ');
  clean.erase(0, first == String::npos ? clean.size() : first);
  while (clean.size() > 1 && (clean.back() == u' ' || clean.back() == u'.')) clean.pop_back();
  if (clean.size() > 255) clean.resize(255);
  return clean;
}

}  // namespace

TInstallerResources::TInstallerResources() {
  setup_package_ = std::make_unique<TSetupPackageReader>(nullptr, u"SETUP");
  const String program = platform::GetProgramFileName();
  if (SameName(FileNamePart(program), u"Uninstall.exe")) {
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
  language_name_ = String(FileNamePart(chosen));
  language_name_.resize(language_name_.size() - Extension(language_name_).size());
  language_.Merge(translation, true);
}

std::unique_ptr<TMemoryStream> TInstallerResources::GetStream(StringView name) {
  if (auto stream = product_package_->Extract(name)) return stream;
  if (auto stream = setup_package_->Extract(name)) return stream;
  throw EInstallerInstallError(FormatText(u"Cannot locate \"%s\" file in setup archive", {name}));
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
  ReplaceAll(result, u"$TEMP", [] {
    String temporary;
    platform::GetTempFolder(temporary);
    return WithDelimiter(temporary);
  });
  ReplaceAll(result, u"$LINK", [&] { return product.GetHomePage(); });
  ReplaceAll(result, u"$NAME", [&] { return product.GetName(); });
  ReplaceAll(result, u"$VERSION", [&] { return product.GetFullVersion(); });
  ReplaceAll(result, u"$DESKTOP", [this] { return desktop_folder_; });
  ReplaceAll(result, u"$STARTMENU", [this] { return start_menu_folder_; });
  ReplaceAll(result, u"$PROGRAMS", [this] { return program_files_folder_; });
  return result;
}

String TInstallerResources::ExpandPath(StringView text) const {
  const String expanded = ExpandPathVariables(text);
  StringView rest = expanded;
  String root;
  if (rest.size() >= 2 && rest[1] == u':') {
    root = String(rest.substr(0, 2));
    rest.remove_prefix(2);
  } else if (rest.starts_with(u"\\\\")) {
    const size_t server_end = rest.find(u'\\', 2);
    root = String(rest.substr(0, server_end));
    rest.remove_prefix(root.size());
  }
  String joined;
  size_t start = 0;
  while (start <= rest.size()) {
    size_t end = rest.find(u'\\', start);
    if (end == StringView::npos) end = rest.size();
    const String part = CleanPathPart(rest.substr(start, end - start));
    if (!part.empty()) {
      if (!joined.empty()) joined.push_back(u'\\');
      joined += part;
    }
    start = end + 1;
  }
  String result = root.empty() ? joined : root + u"\\" + joined;
  if (!expanded.empty() && expanded.back() == u'\\' && !result.empty() && result.back() != u'\\') {
    result.push_back(u'\\');
  }
  return result;
}
