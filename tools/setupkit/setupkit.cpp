// The maker's tool: the command line and its commands.
#include "tools/setupkit/setupkit.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <system_error>

#include "platform/exception.h"
#include "tools/setupkit/build_command.h"
#include "tools/setupkit/lint_command.h"
#include "tools/setupkit/native_path.h"
#include "tools/setupkit/package_commands.h"
#include "tools/setupkit/script_command.h"

namespace {

// Each command's usage: its line and what it does, shown by "help" all together and by
// "<command> --help" alone.
struct TCommandUsage {
  const char16_t* Command;
  const char16_t* Text;
};

constexpr TCommandUsage CommandUsages[] = {
    {u"pack",
     u"  pack <folder> -o <package> [--level 0-9]\n"
     u"      Packs every file under the folder into a setup package, named by its path\n"
     u"      relative to the folder (with backslashes). Level 6 unless given. A linked file\n"
     u"      is packed under its own name; links to folders, names that differ only in\n"
     u"      letter case and names extract would refuse are refused.\n"},
    {u"list",
     u"  list <package>\n"
     u"      Prints one line per file in table order: the size, a tab, the name.\n"},
    {u"extract",
     u"  extract <package> -o <folder> [name ...]\n"
     u"      Extracts all files, or the named ones, below the folder. Names that would leave\n"
     u"      the folder (absolute paths, drives, \"..\", device names) are refused and\n"
     u"      nothing is written; so are entries that an earlier name shadows, and links\n"
     u"      in the output folder are not followed out of it.\n"},
    {u"verify",
     u"  verify <package>\n"
     u"      Reads the package completely; exit code 0 when it is sound, otherwise 1 and\n"
     u"      the reason (\"Package was corrupted\", \"LZMA Error (4)\", ...). Entries that\n"
     u"      extract would refuse (names with \"..\", a drive or a leading backslash, device\n"
     u"      names, a name an earlier one shadows) are listed one per line, exit code 1.\n"},
    {u"script",
     u"  script <Install.xml>\n"
     u"      Prints the script's components, actions, shortcuts, licences and settings as\n"
     u"      the installer reads them.\n"},
    {u"build",
     u"  build --setup <folder> --product <folder> -o <setup.exe> [--program <setup.exe>]\n"
     u"        [--icon <file.ico>] [--level 0-9] [--no-lint]\n"
     u"      Runs lint on both folders first and builds nothing when it finds an error\n"
     u"      (--no-lint skips it).\n"
     u"      Packs both folders as pack does and writes a copy of the setup program whose\n"
     u"      RCDATA resources \"SETUP\" and \"PRODUCT\" hold the two packages; older\n"
     u"      packages are replaced. Its version information names the product as the\n"
     u"      script's settings do: ProductName, CompanyName (Publisher), FileDescription\n"
     u"      (\"<ProductName> Setup\"), FileVersion and ProductVersion (ProductVersion), and\n"
     u"      the version numbers from ProductVersionNo, or else ProductVersion (0.0.0.0 when\n"
     u"      they are not numbers such as \"5.0.3.1\"). --icon replaces the program's icon\n"
     u"      (which Uninstall.exe, a copy of it, shows too) by the icon file's images; a file\n"
     u"      that is not an icon is refused. Its other resources (the manifest) are kept.\n"
     u"      The program is \"setup.exe\" beside setupkit, or else the Windows build's\n"
     u"      (\"../win64/setup.exe\" from setupkit's folder), unless given. The folders must\n"
     u"      hold \"Install.xml\" and \"English.lng\" between them. The output's folder is\n"
     u"      created when missing, and on Linux the output is marked executable.\n"},
    {u"lint",
     u"  lint --setup <folder> --product <folder> [--strict]\n"
     u"  lint <setup.exe> [--strict]\n"
     u"      Reports what the installer would trip over, one line per finding. \"error:\"\n"
     u"      for what stops it or one of its pages, or makes it install wrongly: a missing\n"
     u"      \"Install.xml\", \"English.lng\", component, licence or picture; a script that is "
     u"not\n"
     u"      well-formed XML, or holds an element, attribute, setting or path variable the\n"
     u"      installer does not read as meant (with its line and a \"did you mean\"); a\n"
     u"      destination that is not a full path, leaves its folder or is used twice; no\n"
     u"      \"ProductName\". \"warning:\" for what it survives: a product file nothing\n"
     u"      installs, texts a language file lacks (they fall back to English), no licence\n"
     u"      for \"EN\", a version setting that is not numbers such as \"5.0.3.1\", an\n"
     u"      unsigned program. A setup program's headers are checked too: a field that points\n"
     u"      outside the file (section data, symbol table, certificate table, debug data,\n"
     u"      resource data) or sections that overlap are errors, each naming the field.\n"
     u"      Exit code 1 when there is an error, or any finding with --strict; 0 otherwise.\n"
     u"      docs/install-xml.md describes the script.\n"},
};

constexpr char16_t ExitCodes[] =
    u"Exit codes: 0 success, 1 the work failed, 2 the command line was wrong.\n";

String Usage() {
  String usage = u"Usage: setupkit <command> [arguments]\n\nCommands:\n";
  for (const TCommandUsage& command : CommandUsages) usage += command.Text;
  usage +=
      u"  help, --help, -h\n      Shows this text; \"<command> --help\" shows one command's.\n";
  return usage + u"\n" + ExitCodes;
}

const TCommandUsage* FindCommandUsage(StringView command) {
  for (const TCommandUsage& usage : CommandUsages) {
    if (command == usage.Command) return &usage;
  }
  return nullptr;
}

bool IsHelpOption(StringView argument) {
  return argument == u"--help" || argument == u"-h";
}

bool IsFolder(StringView path) {
  std::error_code error;
  return std::filesystem::is_directory(ToNativePath(path), error);
}

class UsageError : public Exception {
 public:
  using Exception::Exception;
};

// Positional arguments and the values of options, for one command.
struct CommandLine {
  std::vector<String> Positional;
  std::map<String, String> Options;

  // Flags are options without a value; they appear in Options with an empty one.
  static CommandLine Parse(const std::vector<String>& arguments,
                           const std::vector<String>& options_with_values,
                           const std::vector<String>& flags = {}) {
    CommandLine line;
    for (size_t i = 1; i < arguments.size(); ++i) {
      const String& argument = arguments[i];
      const bool is_option = argument.size() > 1 && argument[0] == u'-';
      if (!is_option) {
        line.Positional.push_back(argument);
        continue;
      }
      if (std::find(flags.begin(), flags.end(), argument) != flags.end()) {
        line.Options[argument] = String();
        continue;
      }
      if (std::find(options_with_values.begin(), options_with_values.end(), argument) ==
          options_with_values.end()) {
        throw UsageError(u"unknown option " + argument);
      }
      if (i + 1 >= arguments.size()) throw UsageError(u"option " + argument + u" needs a value");
      line.Options[argument] = arguments[++i];
    }
    return line;
  }

  const String& Only(size_t count, StringView what) const {
    if (Positional.size() != count) throw UsageError(u"expected " + String(what));
    return Positional[0];
  }

  String Output(StringView what) const { return Required(u"-o", what); }

  String Required(StringView option, StringView what) const {
    const auto found = Options.find(String(option));
    if (found == Options.end()) {
      throw UsageError(u"missing " + String(option) + u" <" + String(what) + u">");
    }
    return found->second;
  }

  String Optional(StringView option) const {
    const auto found = Options.find(String(option));
    return found == Options.end() ? String() : found->second;
  }

  bool Has(StringView option) const { return Options.count(String(option)) != 0; }
};

// "build" and "lint" take their folders by option; a folder given bare is one whose option was
// forgotten, and saying so beats failing to read it as a file.
void RejectBareFolders(const CommandLine& line) {
  for (const String& argument : line.Positional) {
    if (IsFolder(argument)) {
      throw UsageError(u"\"" + argument +
                       u"\" is a folder; give the folders as --setup <folder> --product <folder>");
    }
  }
}

// The commands that read one file: a folder there is a slip the file system would only answer
// with "Access is denied.".
const String& OnlyFile(const CommandLine& line, StringView what) {
  const String& file = line.Only(1, u"one " + String(what));
  if (IsFolder(file)) {
    throw UsageError(u"\"" + file + u"\" is a folder; give one " + String(what) + u" file");
  }
  return file;
}

int ParseLevel(const CommandLine& line) {
  const auto found = line.Options.find(u"--level");
  if (found == line.Options.end()) return 6;
  const String& text = found->second;
  if (text.size() != 1 || text[0] < u'0' || text[0] > u'9') {
    throw UsageError(u"--level takes a number from 0 to 9");
  }
  return text[0] - u'0';
}

int Dispatch(const std::vector<String>& arguments, TToolConsole& console) {
  if (arguments.empty()) throw UsageError(u"no command given");
  const String& command = arguments[0];
  if (command == u"help" || IsHelpOption(command)) {
    console.Out(Usage());
    return 0;
  }
  // "<command> --help" anywhere on the line shows the command's usage instead of running it.
  if (const TCommandUsage* usage = FindCommandUsage(command);
      usage != nullptr && std::any_of(arguments.begin() + 1, arguments.end(), IsHelpOption)) {
    console.Out(u"Usage: setupkit\n" + String(usage->Text) + u"\n" + ExitCodes);
    return 0;
  }
  if (command == u"pack") {
    const CommandLine line = CommandLine::Parse(arguments, {u"-o", u"--level"});
    const String folder = line.Only(1, u"one folder to pack");
    return PackFolder(folder, line.Output(u"package"), ParseLevel(line), console);
  }
  if (command == u"list") {
    const CommandLine line = CommandLine::Parse(arguments, {});
    return ListPackage(OnlyFile(line, u"package"), console);
  }
  if (command == u"extract") {
    const CommandLine line = CommandLine::Parse(arguments, {u"-o"});
    if (line.Positional.empty()) throw UsageError(u"expected a package");
    if (!line.Has(u"-o") && line.Positional.size() > 1 && IsFolder(line.Positional.back())) {
      throw UsageError(u"\"" + line.Positional.back() +
                       u"\" is a folder; give the folder to extract into as -o <folder>");
    }
    const std::vector<String> names(line.Positional.begin() + 1, line.Positional.end());
    return ExtractPackage(line.Positional[0], line.Output(u"folder"), names, console);
  }
  if (command == u"verify") {
    const CommandLine line = CommandLine::Parse(arguments, {});
    return VerifyPackage(OnlyFile(line, u"package"), console);
  }
  if (command == u"script") {
    const CommandLine line = CommandLine::Parse(arguments, {});
    return ShowScript(OnlyFile(line, u"Install.xml"), console);
  }
  if (command == u"build") {
    const CommandLine line = CommandLine::Parse(
        arguments, {u"--setup", u"--product", u"-o", u"--program", u"--icon", u"--level"},
        {u"--no-lint"});
    RejectBareFolders(line);
    if (!line.Positional.empty()) throw UsageError(u"unexpected argument " + line.Positional[0]);
    TBuildOptions options;
    options.SetupFolder = line.Required(u"--setup", u"folder");
    options.ProductFolder = line.Required(u"--product", u"folder");
    options.Output = line.Output(u"setup.exe");
    options.Program = line.Optional(u"--program");
    if (line.Has(u"--program") && options.Program.empty()) {
      throw UsageError(u"--program needs a file");
    }
    options.Icon = line.Optional(u"--icon");
    if (line.Has(u"--icon") && options.Icon.empty()) throw UsageError(u"--icon needs a file");
    if (!options.Icon.empty() && IsFolder(options.Icon)) {
      throw UsageError(u"\"" + options.Icon + u"\" is a folder; give --icon an icon file");
    }
    options.Level = ParseLevel(line);
    // A setup that lint finds errors in would install wrongly or not at all: it is not built.
    if (!line.Has(u"--no-lint")) {
      TLintOptions lint;
      lint.SetupFolder = options.SetupFolder;
      lint.ProductFolder = options.ProductFolder;
      if (LintSetup(lint, console) != 0) {
        console.Error(
            u"build: not built, lint found errors; correct them, or build anyway with "
            u"--no-lint\n");
        return 1;
      }
    }
    return BuildSetup(options, console);
  }
  if (command == u"lint") {
    const CommandLine line =
        CommandLine::Parse(arguments, {u"--setup", u"--product"}, {u"--strict"});
    TLintOptions options;
    options.Strict = line.Has(u"--strict");
    if (line.Has(u"--setup") || line.Has(u"--product")) {
      if (!line.Positional.empty()) {
        throw UsageError(u"lint takes either both folders or one setup program");
      }
      options.SetupFolder = line.Required(u"--setup", u"folder");
      options.ProductFolder = line.Required(u"--product", u"folder");
    } else {
      RejectBareFolders(line);
      options.Program = line.Only(1, u"--setup <folder> --product <folder>, or one setup program");
    }
    return LintSetup(options, console);
  }
  throw UsageError(u"unknown command " + command);
}

}  // namespace

int RunSetupKit(const std::vector<String>& arguments, TToolConsole& console) {
  try {
    return Dispatch(arguments, console);
  } catch (const UsageError& error) {
    console.Error(u"setupkit: " + error.Message() + u"\nTry 'setupkit help'.\n");
    return 2;
  } catch (const Exception& error) {
    console.Error(u"setupkit: " + error.Message() + u"\n");
    return 1;
  } catch (const std::exception& error) {
    console.Error(u"setupkit: " + Utf8ToString(error.what()) + u"\n");
    return 1;
  }
}
