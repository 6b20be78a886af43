// The maker's "lint" command.
#include "tools/setupkit/lint_command.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "package/installer_script.h"
#include "package/setup_package_reader.h"
#include "support/file_stream.h"
#include "support/ini_file.h"
#include "support/memory_stream.h"
#include "support/names.h"
#include "support/string_list.h"
#include "tools/setupkit/folder_package.h"
#include "tools/setupkit/language_lint.h"
#include "tools/setupkit/native_path.h"
#include "tools/setupkit/pe_resources.h"
#include "tools/setupkit/picture_lint.h"
#include "tools/setupkit/script_lint.h"
#include "tools/setupkit/signature_check.h"
#include "tools/setupkit/version_resource.h"

namespace {

// The pictures the wizard loads while it is built; any one missing stops it before it shows.
constexpr const char16_t* WizardPictures[] = {u"header.png", u"header_dark.png",
                                              u"wizard_light.png", u"wizard_dark.png"};

String Quoted(StringView text) {
  return u"\"" + String(text) + u"\"";
}

// The extension, from the last "." that follows every blank, backslash, slash and colon, as
// the installer finds its language files.
StringView Extension(StringView name) {
  const size_t dot = name.find_last_of(u". \\/:");
  if (dot == StringView::npos || name[dot] != u'.') return {};
  return name.substr(dot);
}

// One of the two packages as lint sees it: the names it holds and their bytes.
class TLintPackage {
 public:
  virtual ~TLintPackage() = default;
  // Names in package order.
  virtual std::vector<String> Names() const = 0;
  // Whether it holds the file, the name compared as the installer does.
  virtual bool Holds(StringView name) const = 0;
  // The named file's bytes, or null.
  virtual std::unique_ptr<TMemoryStream> Read(StringView name) = 0;
};

class TFolderLintPackage : public TLintPackage {
 public:
  explicit TFolderLintPackage(StringView folder) : files_(ListFolderFiles(folder)) {}

  std::vector<String> Names() const override {
    std::vector<String> names;
    for (const TFolderFile& file : files_) names.push_back(file.Name);
    return names;
  }

  bool Holds(StringView name) const override {
    return std::any_of(files_.begin(), files_.end(),
                       [&](const TFolderFile& file) { return SameName(file.Name, name); });
  }

  std::unique_ptr<TMemoryStream> Read(StringView name) override {
    for (const TFolderFile& file : files_) {
      if (!SameName(file.Name, name)) continue;
      auto stream = std::make_unique<TMemoryStream>();
      stream->LoadFromFile(FromNativePath(file.Path));
      return stream;
    }
    return nullptr;
  }

 private:
  std::vector<TFolderFile> files_;
};

class TResourceLintPackage : public TLintPackage {
 public:
  explicit TResourceLintPackage(std::vector<uint8_t> package) : stream_(std::move(package)) {
    reader_ = std::make_unique<TSetupPackageReader>(stream_);
  }

  std::vector<String> Names() const override {
    std::vector<String> names;
    for (int i = 0; i < reader_->FileTable().Count(); ++i) {
      names.push_back(reader_->FileTable().Items(i).Name);
    }
    return names;
  }

  bool Holds(StringView name) const override { return reader_->Contains(name); }

  std::unique_ptr<TMemoryStream> Read(StringView name) override { return reader_->Extract(name); }

 private:
  TMemoryStream stream_;
  std::unique_ptr<TSetupPackageReader> reader_;
};

std::unique_ptr<TLintPackage> PackageOfProgram(StringView program,
                                               const std::vector<TDataResource>& resources,
                                               StringView name) {
  const auto found = std::find_if(resources.begin(), resources.end(), [&](const auto& resource) {
    return SameResourceName(resource.Name, name);
  });
  if (found == resources.end()) {
    throw Exception(Quoted(program) + u" holds no " + Quoted(name) + u" package");
  }
  try {
    return std::make_unique<TResourceLintPackage>(found->Data);
  } catch (const Exception& error) {
    throw Exception(Quoted(program) + u", package " + Quoted(name) + u": " + error.Message());
  }
}

class TSetupLinter {
 public:
  TSetupLinter(TLintPackage& setup, TLintPackage& product) : setup_(setup), product_(product) {}

  void Run() {
    const bool has_script = Require(u"Install.xml");
    const bool has_english = Require(u"English.lng");
    if (has_script) CheckScript();
    for (const char16_t* picture : WizardPictures) {
      if (Holds(picture)) {
        CheckPicture(picture);
      } else {
        Error(Quoted(picture) + u" is in neither package; the wizard cannot start without it");
      }
    }
    CheckAddons();
    if (has_english) CheckLanguages();
  }

  // Where the program's headers point (CheckProgramLayout): a fault there makes tools, or the
  // loader, call the program damaged.
  void CheckLayout(const std::vector<String>& problems) {
    for (const String& problem : problems) Error(u"the program is damaged: " + problem);
  }

  // Lint runs on a program before it is signed as well as after, so a missing or stale
  // signature is a warning, never an error.
  void CheckSignature(const TProgramSignature& signature) {
    switch (signature.Status) {
      case TSignatureStatus::Unsigned:
        Warning(u"the program is not signed; Windows names no publisher for it");
        break;
      case TSignatureStatus::NoLongerCovers:
        Warning(u"the program is signed, but the signature no longer covers the file (" +
                signature.Problem + u"); sign it again");
        break;
      case TSignatureStatus::NotChecked:
        lines_.push_back(u"info: the program is signed; " + signature.Problem +
                         u", so whether it still covers the file is not checked\n");
        break;
      case TSignatureStatus::Covers:
        lines_.push_back(u"info: the program is signed, and the signature covers it\n");
        break;
    }
  }

  const std::vector<String>& Lines() const { return lines_; }
  int Errors() const { return errors_; }
  int Warnings() const { return warnings_; }

 private:
  // As the installer looks files up: the product package first, then the setup package.
  std::unique_ptr<TMemoryStream> Read(StringView name) {
    if (auto stream = product_.Read(name)) return stream;
    return setup_.Read(name);
  }
  bool Holds(StringView name) const { return product_.Holds(name) || setup_.Holds(name); }

  void Error(const String& text) {
    lines_.push_back(u"error: " + text + u"\n");
    ++errors_;
  }
  void Warning(const String& text) {
    lines_.push_back(u"warning: " + text + u"\n");
    ++warnings_;
  }

  void Report(const TLintFinding& finding) {
    const String where =
        finding.File + (finding.Line > 0 ? u":" + FormatNumber(finding.Line) : String()) + u": ";
    if (finding.Severity == TLintSeverity::Error) {
      Error(where + finding.Message);
    } else {
      Warning(where + finding.Message);
    }
  }

  void CheckPicture(StringView name) {
    const std::unique_ptr<TMemoryStream> picture = Read(name);
    for (const TLintFinding& finding : LintPicture(name, picture->Bytes())) Report(finding);
  }

  bool Require(StringView name) {
    if (Holds(name)) return true;
    Error(Quoted(name) + u" is in neither package; the installer cannot start without it");
    return false;
  }

  void CheckScript() {
    const std::unique_ptr<TMemoryStream> script = Read(u"Install.xml");
    TScriptLintInput input;
    input.Script = std::string_view(reinterpret_cast<const char*>(script->Bytes().data()),
                                    script->Bytes().size());
    input.Holds = [this](StringView name) { return Holds(name); };
    input.ProductFiles = product_.Names();
    for (const TLintFinding& finding : LintScript(input)) Report(finding);
    // What the licence page falls back to, read as the installer reads it.
    TInstallerScript loaded;
    try {
      loaded.Load(*Read(u"Install.xml"));
    } catch (const Exception&) {
      return;  // reported above, with its line
    }
    if (loaded.License.Find(u"EN") == nullptr) {
      Warning(
          u"Install.xml: no licence for \"EN\"; languages without a licence of their own "
          u"show an empty licence page");
    }
    // build writes the numbers of the program's version information from this setting.
    const auto [setting, version] = VersionNumberSetting(loaded);
    if (!version.empty() && !ParseVersionNumbers(version)) {
      Warning(u"Install.xml: the setting " + Quoted(setting) + u" (" + Quoted(version) +
              u") is not one to four numbers such as \"5.0.3.1\", so the setup program's "
              u"version information gives 0.0.0.0");
    }
  }

  void CheckAddons() {
    const auto addons = Read(u"addons.ini");
    if (!addons) return;
    TVYNStringList list;
    list.LoadFromStream(*addons);
    const String picture = list.GetValue(u"I0");
    if (picture.empty()) {
      Error(u"addons.ini: no \"I0\" picture; the add-ons page cannot be shown");
    } else if (!Holds(picture)) {
      Error(u"addons.ini: picture " + Quoted(picture) +
            u" (I0) is in neither package; the add-ons page cannot be shown");
    } else {
      CheckPicture(picture);
    }
  }

  void CheckLanguages() {
    const std::unique_ptr<TMemoryStream> english = Read(u"English.lng");
    TLanguageLintInput input;
    input.English = AsText(*english);
    // Only the setup package's language files are offered to the user.
    std::vector<std::unique_ptr<TMemoryStream>> translations;
    for (const String& name : setup_.Names()) {
      if (!SameName(Extension(name), u".lng") || SameName(name, u"English.lng")) continue;
      translations.push_back(setup_.Read(name));
      input.Translations.push_back({name, AsText(*translations.back())});
    }
    // The finish page captions each post-install choice with the text of the key it names.
    if (Holds(u"Install.xml")) {
      TInstallerScript script;
      try {
        script.Load(*Read(u"Install.xml"));
        for (int i = 0; i < script.Actions.Count(); ++i) {
          input.ActionCaptionKeys.push_back(script.Actions.Items(i).SourceName());
        }
      } catch (const Exception&) {
        // reported with the script's findings
      }
    }
    for (const TLintFinding& finding : LintLanguages(input)) Report(finding);
  }

  static std::string_view AsText(const TMemoryStream& stream) {
    return std::string_view(reinterpret_cast<const char*>(stream.Bytes().data()),
                            stream.Bytes().size());
  }

  TLintPackage& setup_;
  TLintPackage& product_;
  std::vector<String> lines_;
  int errors_ = 0;
  int warnings_ = 0;
};

String Counted(int count, StringView what) {
  return FormatNumber(count) + u" " + String(what) + (count == 1 ? u"" : u"s");
}

}  // namespace

int LintSetup(const TLintOptions& options, TToolConsole& console) {
  std::unique_ptr<TLintPackage> setup, product;
  std::optional<TProgramSignature> signature;
  std::vector<String> layout_problems;
  if (!options.Program.empty()) {
    TMemoryStream image;
    image.LoadFromFile(options.Program);
    std::vector<TDataResource> resources;
    try {
      layout_problems = CheckProgramLayout(image.Bytes());
      resources = ReadDataResources(image.Bytes());
      signature = CheckProgramSignature(image.Bytes());
    } catch (const EPeImageError& error) {
      throw Exception(Quoted(options.Program) + u" " + error.Message());
    }
    setup = PackageOfProgram(options.Program, resources, u"SETUP");
    product = PackageOfProgram(options.Program, resources, u"PRODUCT");
  } else {
    setup = std::make_unique<TFolderLintPackage>(options.SetupFolder);
    product = std::make_unique<TFolderLintPackage>(options.ProductFolder);
  }

  TSetupLinter linter(*setup, *product);
  linter.CheckLayout(layout_problems);
  linter.Run();
  if (signature) linter.CheckSignature(*signature);
  String report;
  for (const String& line : linter.Lines()) report += line;
  if (linter.Errors() == 0 && linter.Warnings() == 0) {
    report += u"lint: no findings\n";
  } else {
    report += u"lint: " + Counted(linter.Errors(), u"error") + u", " +
              Counted(linter.Warnings(), u"warning") + u"\n";
  }
  console.Out(report);
  return linter.Errors() > 0 || (options.Strict && linter.Warnings() > 0) ? 1 : 0;
}
