// Scripts that try to write where they must not: every target of the run is checked before the
// run starts, so a refused script leaves the destination and everything around it untouched.
// Host only: the test packages are swapped for scripts made here.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/installer.h"
#include "core/installer_action_extract.h"
#include "core/installer_errors.h"
#include "core/installer_path.h"
#include "core/installer_resources.h"
#include "core/installer_test_fixture.h"
#include "package/setup_package_builder.h"
#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/host_double.h"
#include "platform/shell_folders.h"
#include "tests/support/case_title.h"

namespace {

using platform::HostDouble;

struct TTarget {
  TTarget(String name, String lang_family = {})  // NOLINT: a case reads as {target, family}
      : Name(std::move(name)), LangFamily(std::move(lang_family)) {}
  String Name;
  String LangFamily;  // empty: every language
};

std::string XmlAttribute(StringView text) {
  std::string escaped;
  for (const char c : StringToUtf8(text)) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '"': escaped += "&quot;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

class ExtractTargetsTest : public InstallerTest {
 protected:
  void SetUp() override {
    InstallerTest::SetUp();
    FakeProductInfo::State().Actions = {&TInstallerActionExtract::Class()};
  }

  // A setup whose script installs "$DEST\ZELO.exe" and then Targets, all from one packaged file.
  static void UseScript(const std::vector<TTarget>& targets) {
    std::string script =
        "<Install><product><Settings><Setting name=\"ProductName\" value=\"ZELO\"/></Settings>"
        "<Components><File name=\"$DEST\\ZELO.exe\">ZELO.exe</File>";
    for (const TTarget& target : targets) {
      script += "<File name=\"" + XmlAttribute(target.Name) + "\"";
      if (!target.LangFamily.empty()) {
        script += " lang-family=\"" + XmlAttribute(target.LangFamily) + "\"";
      }
      script += ">ZELO.exe</File>";
    }
    script += "</Components></product></Install>";
    TSetupPackageBuilder builder;
    TMemoryStream xml(std::vector<uint8_t>(script.begin(), script.end()));
    builder.AddFile(xml, u"Install.xml");
    TMemoryStream player(std::vector<uint8_t>{'M', 'Z'});
    builder.AddFile(player, u"ZELO.exe");
    TMemoryStream package;
    builder.Commit(package, 1);
    HostDouble::SetDataResource(nullptr, u"SETUP", package.Bytes());
    HostDouble::SetDataResource(nullptr, u"PRODUCT", package.TakeBytes());
  }

  // The files and folders below the test's folder's parent, which holds the destination: what a
  // run would have written in or beside it.
  std::vector<std::filesystem::path> Written() const {
    std::vector<std::filesystem::path> found;
    const std::filesystem::path around = folder_.NativePath().parent_path();
    for (const auto& item : std::filesystem::recursive_directory_iterator(around)) {
      found.push_back(item.path());
    }
    return found;
  }
};

struct RefusedCase {
  const char* Title;
  TTarget Target;
  String Why;  // the message after the quoted target
};

class RefusedTargets : public ExtractTargetsTest,
                       public testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedTargets, RefuseTheRunBeforeAnythingIsWritten) {
  UseScript({GetParam().Target});
  TInstaller& installer = CreateAutomatic(u"/SILENT");
  const auto before = Written();
  try {
    installer.Start(true);
    FAIL() << "expected EInstallerInstallError";
  } catch (const EInstallerInstallError& error) {
    const String expected = u"The installation script places a file at \"" +
                            QuotablePath(GetParam().Target.Name) + u"\", ";
    EXPECT_TRUE(error.Message().starts_with(expected)) << StringToUtf8(error.Message());
    EXPECT_NE(error.Message().find(GetParam().Why), String::npos) << StringToUtf8(error.Message());
  }
  EXPECT_EQ(installer.State(), isIdle);
  EXPECT_EQ(Written(), before);
}

const String Outside = u"outside the destination folder and outside the folder its variable names";
const String Twice = u"to Windows, which ignores letter case and trailing dots and blanks";
const String Stream = u"cannot be written as it reads: it names a data stream";
const String Namespace = u"cannot be written as it reads: it addresses the system's device";

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedTargets,
    testing::Values(
        // Out of the destination.
        RefusedCase{"ClimbsOut", {u"$DEST\\..\\evil.dll"}, Outside},
        RefusedCase{"ClimbsOutFromASubfolder", {u"$DEST\\Help\\..\\..\\evil.dll"}, Outside},
        RefusedCase{"ClimbsOutWithSlashes", {u"$DEST/../../evil.dll"}, Outside},
        RefusedCase{"ClimbsOutRightAfterTheVariable", {u"$DEST..\\evil.dll"}, Outside},
        RefusedCase{"ClimbsOutOfTheTemporaryFolder", {u"$TEMP\\..\\evil.dll"}, Outside},
        RefusedCase{"ClimbsOutOfTheDesktop", {u"$DESKTOP\\..\\..\\evil.lnk"}, Outside},
        RefusedCase{"AnotherDrive", {u"D:\\evil.dll"}, Outside},
        RefusedCase{"TheSystemFolder", {u"C:\\Windows\\System32\\evil.dll"}, Outside},
        RefusedCase{"AShare", {u"\\\\server\\share\\evil.dll"}, Outside},
        RefusedCase{"TheDestinationItself", {u"$DEST"}, Outside},
        RefusedCase{"NoVariable", {u"evil.dll"}, u"which is not a full path"},
        RefusedCase{"AMisspelledVariable", {u"$dest\\evil.dll"}, u"which is not a full path"},
        RefusedCase{"RootedWithoutADrive", {u"\\evil.dll"}, u"which is not a full path"},
        // Read as something else than the name says.
        RefusedCase{"TheLongPathPrefix", {u"\\\\?\\C:\\evil.dll"}, Namespace},
        RefusedCase{"TheDevicePrefix", {u"\\\\.\\C:\\evil.dll"}, Namespace},
        RefusedCase{"AStream", {u"$DEST\\ZELO.exe:evil"}, Stream},
        RefusedCase{"AStreamOfAnotherFile", {u"$DEST\\a.txt:evil"}, Stream},
        RefusedCase{"AStreamOfAFolder", {u"$DEST\\Help:evil\\a.txt"}, Stream},
        RefusedCase{"AWildcard", {u"$DEST\\*.dll"}, u"a character that file names cannot hold"},
        RefusedCase{"AControlCharacter", {u"$DEST\\a\x01.dll"}, u"a control character"},
        // Devices.
        RefusedCase{"Con", {u"$DEST\\CON"}, u"names the device \"CON\""},
        RefusedCase{"NulInAnyCase", {u"$DEST\\nul"}, u"names the device \"nul\""},
        RefusedCase{"ADeviceWithAnExtension", {u"$DEST\\COM1.txt"}, u"the device \"COM1.txt\""},
        RefusedCase{"ADeviceAsAFolder", {u"$DEST\\aux\\a.txt"}, u"names the device \"aux\""},
        RefusedCase{"ADeviceWithABlank", {u"$DEST\\LPT1 .log"}, u"the device \"LPT1 .log\""},
        // One file for two entries, or the uninstaller's.
        RefusedCase{"TheUninstaller", {u"$DEST\\Uninstall.exe"}, u"the uninstaller's own file"},
        RefusedCase{"TheUninstallData", {u"$DEST\\UNINSTALL.DAT"}, u"the uninstaller's own file"},
        RefusedCase{"OtherLetterCase", {u"$DEST\\zelo.EXE"}, Twice},
        RefusedCase{"ATrailingDot", {u"$DEST\\ZELO.exe."}, Twice},
        RefusedCase{"TrailingBlanksAndDots", {u"$DEST\\ZELO.exe . "}, Twice},
        RefusedCase{"ThroughASubfolder", {u"$DEST\\Help\\..\\ZELO.exe"}, Twice},
        RefusedCase{"DoubledDelimiters", {u"$DEST\\\\ZELO.exe"}, Twice},
        RefusedCase{"ForOneLanguage", {u"$DEST\\ZELO.exe", u"RU"}, Twice},
        // A path Windows programs cannot handle.
        RefusedCase{"TooLong",
                    {u"$DEST\\" + String(200, u'a') + u"\\" + String(200, u'b') + u".dll"},
                    u"characters long, more than the 259 that Windows programs handle"}),
    CaseTitle());

// Everything that stays where its name says is accepted: the checks must not cost a maker
// what the installer always could do.
TEST_F(ExtractTargetsTest, TargetsInTheirFoldersAreAccepted) {
  UseScript({
      {u"$DEST\\Help\\..\\Readme.txt"},
      {u"$DEST/Skins/Daylight.zsk"},
      {u"$DEST\\Langs\\Russian.lng", u"RU"},
      {u"$DEST\\Help\\Help.txt", u"RU"},
      {u"$DEST\\Help\\help.TXT", u"DE"},  // another language: never installed together
      {u"$DEST\\console.txt"},            // not a device: only the whole name counts
      {u"$DEST\\$NAME Notes.txt"},
      {u"$TEMP\\zelo-setup.log"},
      {u"$DESKTOP\\$NAME Readme.txt"},
      {u"$STARTMENU\\$NAME\\Readme.txt"},
      {u"$PROGRAMS\\Common Files\\ZELO\\codec.dll"},
      {u"$DEST\\" + String(200, u'a') + u"\\" + String(200, u'b') + u".dll", u"DE"},
  });
  TInstaller& installer = CreateAutomatic(u"/SILENT");
  EXPECT_NO_THROW(TInstallerActionExtract::CheckTargets(installer.Resources().Script()));
}

// A destination of thousands of characters is refused on its length, by the command line's
// check, before the product looks at the folder or anything is written.
TEST_F(ExtractTargetsTest, AHugeDestinationIsRefusedAtOnce) {
  String destination = folder_.Path();
  while (destination.size() < 10000) destination += u"abcd\\";
  try {
    Create(u"/AUTO=\"" + destination + u"\" /SILENT");
    FAIL() << "expected EInstallerInstallError";
  } catch (const EInstallerInstallError& error) {
    EXPECT_TRUE(error.Message().starts_with(u"The destination folder \""));
    EXPECT_NE(error.Message().find(u"characters long"), String::npos);
  }
  EXPECT_EQ(FakeProductInfo::State().LoadCount, 0);
  EXPECT_FALSE(platform::FolderExists(folder_.PathOf(u"abcd\\")));
}

// A destination short enough on its own can still be too long for the script's files: the
// wizard's check tells so while the folder can be changed, and the run refuses it.
TEST_F(ExtractTargetsTest, ADestinationTooLongForTheScriptsFilesIsTold) {
  UseScript({{u"$DEST\\Help\\" + String(30, u'h') + u".txt"}});
  const size_t below = 5 + 30 + 4;  // "Help\" + 30 characters + ".txt"
  String fits = folder_.Path();
  fits += String(MaximumInstalledPathLength - below - 1 - fits.size(), u'd');
  TInstaller& installer = Create(u"/AUTO=\"" + fits + u"\" /SILENT");
  const TInstallerScript& script = installer.Resources().Script();
  EXPECT_EQ(TInstallerActionExtract::DestinationLengthProblem(script, installer.DestPath()), u"");
  EXPECT_NO_THROW(TInstallerActionExtract::CheckTargets(script));

  const String too_long = fits + u"d";
  const String problem = TInstallerActionExtract::DestinationLengthProblem(script, too_long);
  EXPECT_TRUE(problem.starts_with(u"The destination folder \"")) << StringToUtf8(problem);
  EXPECT_NE(problem.find(u"\"Help\\" + String(30, u'h') + u".txt\" would get a path of 260"),
            String::npos)
      << StringToUtf8(problem);
  installer.SetDestPath(too_long);
  try {
    installer.Start(true);
    FAIL() << "expected EInstallerInstallError";
  } catch (const EInstallerInstallError& error) {
    EXPECT_NE(error.Message().find(u"260 characters long"), String::npos)
        << StringToUtf8(error.Message());
  }
  EXPECT_FALSE(platform::FolderExists(platform::IncludeTrailingPathDelimiter(too_long)));
}

}  // namespace
