// The maker's tool from its command line: packing a folder and getting it back, listing,
// verifying, refusing unsafe or damaged packages, and usage errors.
#include "tools/setupkit/setupkit.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "package/setup_package_builder.h"
#include "tests/support/case_title.h"
#include "tests/support/temporary_folder.h"
#include "tools/setupkit/capturing_console.h"
#include "tools/setupkit/native_path.h"

namespace {

// Writes a package with whatever names it is given, as a careless or hostile maker might.
void BuildPackage(StringView file_name, const std::vector<std::pair<String, std::string>>& files) {
  TSetupPackageBuilder builder;
  for (const auto& [name, content] : files) {
    TMemoryStream stream(std::vector<uint8_t>(content.begin(), content.end()));
    builder.AddFile(stream, name);
  }
  builder.SaveToFile(file_name, 1);
}

class SetupKit : public testing::Test {
 protected:
  // The tool works with this system's own paths.
  String Native(StringView relative = {}) const {
    return FromNativePath(folder_.NativePath(relative));
  }

  int Run(std::vector<String> arguments) {
    console_ = CapturingConsole();
    return RunSetupKit(arguments, console_);
  }

  void MakeProductFolder() {
    folder_.WriteFile(u"product\\ZELO.exe", "MZ program");
    folder_.WriteFile(u"product\\Langs\\English.lng", "[File]\r\nName=English\r\n");
    folder_.WriteFile(u"product\\empty.txt", "");
    folder_.WriteFile(u"product\\b.txt", "b");
    folder_.WriteFile(u"product\\A.txt", "a");
  }

  TemporaryFolder folder_;
  CapturingConsole console_;
};

TEST_F(SetupKit, PackListExtractAndVerifyRoundTrip) {
  MakeProductFolder();
  ASSERT_EQ(Run({u"pack", Native(u"product"), u"-o", Native(u"product.pkg"), u"--level", u"9"}), 0)
      << StringToUtf8(console_.error);
  EXPECT_FALSE(std::filesystem::exists(folder_.NativePath(u"product.pkg.partial")));

  ASSERT_EQ(Run({u"list", Native(u"product.pkg")}), 0);
  // Sorted alike everywhere: ASCII letters folded, backslashes between folders.
  EXPECT_EQ(console_.out,
            u"1\tA.txt\n1\tb.txt\n0\tempty.txt\n22\tLangs\\English.lng\n10\tZELO.exe\n");

  ASSERT_EQ(Run({u"verify", Native(u"product.pkg")}), 0);
  EXPECT_EQ(console_.out.rfind(u"OK: 5 files", 0), 0u);

  ASSERT_EQ(Run({u"extract", Native(u"product.pkg"), u"-o", Native(u"out")}), 0)
      << StringToUtf8(console_.error);
  EXPECT_EQ(folder_.ReadFile(u"out\\Langs\\English.lng"), "[File]\r\nName=English\r\n");
  EXPECT_EQ(folder_.ReadFile(u"out\\ZELO.exe"), "MZ program");
  EXPECT_EQ(folder_.ReadFile(u"out\\empty.txt"), "");
}

TEST_F(SetupKit, ExtractsOnlyTheNamedFilesInTheirStoredSpelling) {
  MakeProductFolder();
  ASSERT_EQ(Run({u"pack", Native(u"product"), u"-o", Native(u"p.pkg")}), 0);
  ASSERT_EQ(Run({u"extract", Native(u"p.pkg"), u"-o", Native(u"one"), u"zelo.EXE"}), 0);
  EXPECT_EQ(folder_.ReadFile(u"one\\ZELO.exe"), "MZ program");
  EXPECT_FALSE(std::filesystem::exists(folder_.NativePath(u"one\\A.txt")));
}

TEST_F(SetupKit, RefusesUnsafeNamesAndWritesNothing) {
  folder_.WriteFile(u"in\\a.txt", "a");
  ASSERT_EQ(Run({u"pack", Native(u"in"), u"-o", Native(u"safe.pkg")}), 0);
  // A package from elsewhere whose table climbs out of the folder.
  BuildPackage(Native(u"evil.pkg"), {{u"good.txt", "fine"}, {u"..\\..\\evil.txt", "evil"}});
  EXPECT_EQ(Run({u"extract", Native(u"evil.pkg"), u"-o", Native(u"out")}), 1);
  EXPECT_NE(console_.error.find(u"refusing to extract \"..\\..\\evil.txt\""), String::npos);
  EXPECT_FALSE(std::filesystem::exists(folder_.NativePath(u"out\\good.txt")));
  EXPECT_FALSE(std::filesystem::exists(folder_.NativePath(u"evil.txt")));
}

TEST_F(SetupKit, RefusesAnEntryThatAnEarlierNameShadows) {
  // Lookups ignore letter case, so the installer would only ever read the first of these.
  BuildPackage(Native(u"twins.pkg"), {{u"a.txt", "first"}, {u"A.TXT", "second"}});
  EXPECT_EQ(Run({u"extract", Native(u"twins.pkg"), u"-o", Native(u"out")}), 1);
  EXPECT_NE(console_.error.find(u"entry 1 \"A.TXT\": an earlier entry \"a.txt\""), String::npos)
      << StringToUtf8(console_.error);
  EXPECT_FALSE(std::filesystem::exists(folder_.NativePath(u"out\\a.txt")));
}

TEST_F(SetupKit, DamagedPackageFailsVerifyWithTheReadersMessage) {
  folder_.WriteFile(u"in\\a.txt", std::string(5000, 'a'));
  ASSERT_EQ(Run({u"pack", Native(u"in"), u"-o", Native(u"p.pkg")}), 0);
  std::string bytes = folder_.ReadFile(u"p.pkg");
  bytes[bytes.size() / 2] ^= 0x20;
  folder_.WriteFile(u"p.pkg", bytes);
  EXPECT_EQ(Run({u"verify", Native(u"p.pkg")}), 1);
  EXPECT_EQ(console_.error, u"setupkit: Package was corrupted\n");
}

struct UsageCase {
  const char* Title;
  std::vector<String> Arguments;
  const char16_t* Message;
};

class SetupKitUsage : public testing::TestWithParam<UsageCase> {};

TEST_P(SetupKitUsage, IsAOneLineMessageAndExitCode2) {
  CapturingConsole console;
  EXPECT_EQ(RunSetupKit(GetParam().Arguments, console), 2);
  EXPECT_EQ(console.error,
            String(u"setupkit: ") + GetParam().Message + u"\nTry 'setupkit help'.\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetupKitUsage,
    testing::Values(
        UsageCase{"NoCommand", {}, u"no command given"},
        UsageCase{"UnknownCommand", {u"unpack"}, u"unknown command unpack"},
        UsageCase{"PackWithoutOutput", {u"pack", u"dir"}, u"missing -o <package>"},
        UsageCase{"BadLevel",
                  {u"pack", u"d", u"-o", u"p", u"--level", u"10"},
                  u"--level takes a number from 0 to 9"},
        UsageCase{"UnknownOption", {u"list", u"--all", u"x"}, u"unknown option --all"},
        UsageCase{"OptionWithoutValue", {u"extract", u"p", u"-o"}, u"option -o needs a value"},
        UsageCase{"BuildWithoutSetup",
                  {u"build", u"--product", u"p", u"-o", u"s.exe"},
                  u"missing --setup <folder>"},
        UsageCase{"BuildWithoutOutput",
                  {u"build", u"--setup", u"s", u"--product", u"p"},
                  u"missing -o <setup.exe>"},
        UsageCase{"BuildWithAStrayArgument",
                  {u"build", u"--setup", u"s", u"--product", u"p", u"-o", u"s.exe", u"x"},
                  u"unexpected argument x"},
        UsageCase{"LintWithoutInput",
                  {u"lint"},
                  u"expected --setup <folder> --product <folder>, or one setup program"},
        UsageCase{"LintWithOneFolder", {u"lint", u"--setup", u"s"}, u"missing --product <folder>"},
        UsageCase{"LintWithBothForms",
                  {u"lint", u"--setup", u"s", u"--product", u"p", u"setup.exe"},
                  u"lint takes either both folders or one setup program"}),
    CaseTitle());

TEST_F(SetupKit, UnreadableInputIsAOneLineFailure) {
  EXPECT_EQ(Run({u"list", Native(u"missing.pkg")}), 1);
  EXPECT_EQ(console_.error.rfind(u"setupkit: Cannot open file \"", 0), 0u);
  EXPECT_EQ(console_.error.find(u'\n'), console_.error.size() - 1);
}

TEST_F(SetupKit, ScriptShowsWhatTheInstallerReads) {
  folder_.WriteFile(u"Install.xml",
                    "<Install><setup><license><File name=\"License.rtf\" lang-family=\"EN\"/>"
                    "</license></setup><product><Components><File name=\"$DEST\\ZELO.exe\"/>"
                    "</Components><Settings><S name=\"ProductName\" value=\"ZELO\"/></Settings>"
                    "</product></Install>");
  ASSERT_EQ(Run({u"script", Native(u"Install.xml")}), 0) << StringToUtf8(console_.error);
  EXPECT_EQ(console_.out,
            u"Components (1)\n  $DEST\\ZELO.exe  <-  ZELO.exe\nActions (0)\nShortcuts (0)\n"
            u"License (1)\n  License.rtf  [EN]\nSettings (1)\n  ProductName=ZELO\n");
  folder_.WriteFile(u"Broken.xml", "<a/><b/>");
  EXPECT_EQ(Run({u"script", Native(u"Broken.xml")}), 1);
  EXPECT_EQ(console_.error, u"setupkit: Only one Root available\n");
}

TEST_F(SetupKit, HelpDocumentsEveryCommand) {
  ASSERT_EQ(Run({u"--help"}), 0);
  for (const char16_t* command :
       {u"pack", u"list", u"extract", u"verify", u"script", u"build", u"lint"}) {
    EXPECT_NE(console_.out.find(u"  " + String(command) + u" "), String::npos);
  }
}

}  // namespace

// A package that reads back but holds names extract refuses is not sound: verify lists each
// such entry with its reason and fails, where it once said "OK".
struct VerifyCase {
  const char* Title;
  std::vector<std::pair<String, std::string>> Files;
  // What the report says, one line per refused entry.
  std::vector<const char16_t*> Lines;
};

class SetupKitVerify : public SetupKit, public testing::WithParamInterface<VerifyCase> {};

TEST_P(SetupKitVerify, ReportsEveryEntryExtractRefuses) {
  BuildPackage(Native(u"p.pkg"), GetParam().Files);
  const int code = Run({u"verify", Native(u"p.pkg")});
  if (GetParam().Lines.empty()) {
    EXPECT_EQ(code, 0) << StringToUtf8(console_.error);
    EXPECT_EQ(console_.out.rfind(u"OK: ", 0), 0u);
    return;
  }
  EXPECT_EQ(code, 1);
  EXPECT_EQ(console_.out, u"");
  String expected;
  for (const char16_t* line : GetParam().Lines) expected += String(u"setupkit: ") + line + u"\n";
  EXPECT_EQ(console_.error, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Packages, SetupKitVerify,
    testing::Values(
        VerifyCase{"Sound", {{u"a.txt", "a"}, {u"Langs\\English.lng", "e"}}, {}},
        VerifyCase{"ClimbsOut",
                   {{u"good.txt", "g"}, {u"..\\..\\x", "x"}},
                   {u"entry 1 \"..\\..\\x\": it climbs out of the folder; extract refuses it"}},
        VerifyCase{"Drive",
                   {{u"C:\\Windows\\x", "x"}},
                   {u"entry 0 \"C:\\Windows\\x\": it names a drive or a data stream; extract "
                    u"refuses it"}},
        VerifyCase{"Rooted",
                   {{u"\\x", "x"}},
                   {u"entry 0 \"\\x\": it is an absolute path; extract refuses it"}},
        VerifyCase{"Device",
                   {{u"docs\\NUL.txt", "x"}},
                   {u"entry 0 \"docs\\NUL.txt\": it names a device; extract refuses it"}},
        VerifyCase{"SameNameLetterCaseAside",
                   {{u"a.txt", "first"}, {u"A.TXT", "second"}},
                   {u"entry 1 \"A.TXT\": an earlier entry \"a.txt\" has the same name, letter "
                    u"case aside; nothing can read it"}},
        VerifyCase{"EachProblemOnItsOwnLine",
                   {{u"..\\x", "1"}, {u"ok.txt", "2"}, {u"OK.TXT", "3"}, {u"..\\X", "4"}},
                   {u"entry 0 \"..\\x\": it climbs out of the folder; extract refuses it",
                    u"entry 2 \"OK.TXT\": an earlier entry \"ok.txt\" has the same name, letter "
                    u"case aside; nothing can read it",
                    u"entry 3 \"..\\X\": an earlier entry \"..\\x\" has the same name, letter "
                    u"case aside; nothing can read it",
                    u"entry 3 \"..\\X\": it climbs out of the folder; extract refuses it"}}),
    CaseTitle());

// "<command> --help" and "-h" show that command's usage and do nothing else.
TEST_F(SetupKit, EveryCommandAnswersHelp) {
  const std::vector<std::pair<String, String>> commands = {
      {u"pack", u"  pack <folder> -o <package>"},
      {u"list", u"  list <package>"},
      {u"extract", u"  extract <package> -o <folder>"},
      {u"verify", u"  verify <package>"},
      {u"script", u"  script <Install.xml>"},
      {u"build", u"  build --setup <folder> --product <folder> -o <setup.exe>"},
      {u"lint", u"  lint --setup <folder> --product <folder>"}};
  for (const auto& [command, usage] : commands) {
    for (const std::vector<String>& arguments :
         {std::vector<String>{command, u"--help"}, std::vector<String>{command, u"-h"},
          std::vector<String>{command, u"--setup", u"s", u"--help", u"-o"}}) {
      SCOPED_TRACE(StringToUtf8(command) + " " + StringToUtf8(arguments[1]));
      EXPECT_EQ(Run(arguments), 0);
      EXPECT_EQ(console_.error, u"");
      EXPECT_EQ(console_.out.find(u"Usage: setupkit\n" + usage), 0u) << StringToUtf8(console_.out);
      // Only this command's usage.
      for (const auto& [other, other_usage] : commands) {
        if (other != command) {
          EXPECT_EQ(console_.out.find(other_usage), String::npos);
        }
      }
    }
  }
  EXPECT_FALSE(std::filesystem::exists(folder_.NativePath(u"-o")));
}

// A folder given where an option was meant names the option instead of failing to open the
// folder as a file.
struct BareFolderCase {
  const char* Title;
  // "{dir}" stands for an existing folder.
  std::vector<String> Arguments;
  const char16_t* Message;
};

class SetupKitBareFolder : public SetupKit, public testing::WithParamInterface<BareFolderCase> {};

TEST_P(SetupKitBareFolder, SaysWhichOptionWasMeant) {
  folder_.WriteFile(u"setup\\Install.xml", "<Install/>");
  std::vector<String> arguments = GetParam().Arguments;
  for (String& argument : arguments) {
    if (argument == u"{dir}") argument = Native(u"setup");
  }
  EXPECT_EQ(Run(arguments), 2);
  String message = GetParam().Message;
  message.replace(message.find(u"{dir}"), 5, Native(u"setup"));
  EXPECT_EQ(console_.error, u"setupkit: " + message + u"\nTry 'setupkit help'.\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetupKitBareFolder,
    testing::Values(
        BareFolderCase{"Lint",
                       {u"lint", u"{dir}"},
                       u"\"{dir}\" is a folder; give the folders as --setup <folder> --product "
                       u"<folder>"},
        BareFolderCase{"LintStrict",
                       {u"lint", u"--strict", u"{dir}"},
                       u"\"{dir}\" is a folder; give the folders as --setup <folder> --product "
                       u"<folder>"},
        BareFolderCase{"Build",
                       {u"build", u"{dir}", u"--product", u"p", u"-o", u"s.exe"},
                       u"\"{dir}\" is a folder; give the folders as --setup <folder> --product "
                       u"<folder>"},
        BareFolderCase{"ExtractInto",
                       {u"extract", u"p.pkg", u"{dir}"},
                       u"\"{dir}\" is a folder; give the folder to extract into as -o <folder>"},
        BareFolderCase{
            "List", {u"list", u"{dir}"}, u"\"{dir}\" is a folder; give one package file"},
        BareFolderCase{
            "Verify", {u"verify", u"{dir}"}, u"\"{dir}\" is a folder; give one package file"},
        BareFolderCase{
            "Script", {u"script", u"{dir}"}, u"\"{dir}\" is a folder; give one Install.xml file"}),
    CaseTitle());

// The folder checks leave the places that do take a folder alone.
TEST_F(SetupKit, PackageCommandsStillTakeFoldersWhereTheyBelong) {
  folder_.WriteFile(u"in\\a.txt", "a");
  ASSERT_EQ(Run({u"pack", Native(u"in"), u"-o", Native(u"p.pkg")}), 0);
  ASSERT_EQ(Run({u"extract", Native(u"p.pkg"), u"-o", Native(u"in")}), 0)
      << StringToUtf8(console_.error);
  ASSERT_EQ(Run({u"verify", Native(u"p.pkg")}), 0);
}
