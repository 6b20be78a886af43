// Which entries of the uninstall data name a file inside the installation, and which name
// nothing because they would reach elsewhere: pure text work, the same on every build.
#include "product/installer_action_uninstall_files.h"

#include <gtest/gtest.h>

#include "tests/support/case_title.h"

namespace {

constexpr char16_t Folder[] = u"C:\\Program Files\\ZELO\\";

struct EntryCase {
  const char* Title;
  StringView Entry;
  const char16_t* Expected;  // relative to Folder; null: the entry names nothing
};

class UninstallEntryTest : public testing::TestWithParam<EntryCase> {};

TEST_P(UninstallEntryTest, ResolvesInsideTheInstallationOrNamesNothing) {
  const EntryCase& entry = GetParam();
  String path = u"stale";
  const bool resolved = TInstallerActionUninstallFiles::ResolveEntry(Folder, entry.Entry, path);
  if (entry.Expected == nullptr) {
    EXPECT_FALSE(resolved);
    EXPECT_EQ(path, u"");
  } else {
    EXPECT_TRUE(resolved);
    EXPECT_EQ(path, String(Folder) + entry.Expected);
  }
}

using namespace std::string_view_literals;

INSTANTIATE_TEST_SUITE_P(
    Entries, UninstallEntryTest,
    testing::Values(
        EntryCase{"AFile", u"ZELO.exe", u"ZELO.exe"},
        EntryCase{"AFileInASubfolder", u"Langs\\Russian.lng", u"Langs\\Russian.lng"},
        EntryCase{"SlashesAsBackslashes", u"Langs/Russian.lng", u"Langs\\Russian.lng"},
        EntryCase{"DotsThatStayInside", u".\\Langs\\..\\ZELO.exe", u"ZELO.exe"},
        EntryCase{"DoubledDelimiters", u"Langs\\\\Russian.lng", u"Langs\\Russian.lng"},
        EntryCase{"NamesThatOnlyStartLikeDevices", u"Console\\CONFIG.ini", u"Console\\CONFIG.ini"},
        EntryCase{"PortsBeyondNine", u"COM10.txt", u"COM10.txt"},
        EntryCase{"BlanksInside", u"My Skins\\Dark one.zsk", u"My Skins\\Dark one.zsk"},
        EntryCase{"Empty", u"", nullptr}, EntryCase{"TheFolderItself", u"Langs\\..", nullptr},
        EntryCase{"OnlyADot", u".", nullptr}, EntryCase{"UpAndOut", u"..\\outside.txt", nullptr},
        EntryCase{"DeeperThenOut", u"Langs\\..\\..\\outside.txt", nullptr},
        EntryCase{"OutAndBackIn", u"..\\ZELO\\ZELO.exe", nullptr},
        EntryCase{"ADrive", u"C:\\Windows\\notepad.exe", nullptr},
        EntryCase{"ADriveRelative", u"C:notepad.exe", nullptr},
        EntryCase{"TheDrivesRoot", u"\\Windows\\notepad.exe", nullptr},
        EntryCase{"ANetworkShare", u"\\\\server\\share\\file.txt", nullptr},
        EntryCase{"ANetworkShareWithSlashes", u"//server/share/file.txt", nullptr},
        EntryCase{"ALongPath", u"\\\\?\\C:\\Windows\\notepad.exe", nullptr},
        EntryCase{"ADevicePath", u"\\\\.\\PhysicalDrive0", nullptr},
        EntryCase{"TheConsole", u"CON", nullptr},
        EntryCase{"TheNullDeviceWithAnExtension", u"nul.txt", nullptr},
        EntryCase{"APortInASubfolder", u"Langs\\COM1", nullptr},
        EntryCase{"APrinterPort", u"lpt9.log", nullptr},
        EntryCase{"APortWithASuperscriptDigit", u"COM\u00B9", nullptr},
        EntryCase{"TheConsoleInput", u"CONIN$", nullptr},
        EntryCase{"ADeviceWithBlanksBeforeItsExtension", u"aux .txt", nullptr},
        EntryCase{"AStream", u"ZELO.exe:Zone.Identifier", nullptr},
        EntryCase{"TheDataStream", u"ZELO.exe::$DATA", nullptr},
        EntryCase{"AWildcard", u"*.exe", nullptr}, EntryCase{"AQuestionMark", u"ZELO.ex?", nullptr},
        // Windows trims these, which would turn ".. " into "..".
        EntryCase{"ATrailingDot", u"ZELO.exe.", nullptr},
        EntryCase{"DotsAndABlank", u".. \\outside.txt", nullptr},
        EntryCase{"ThreeDots", u"...\\outside.txt", nullptr},
        EntryCase{"ATrailingBlank", u"Langs \\Russian.lng", nullptr},
        // The system would end the path at the NUL.
        EntryCase{"AControlCharacter", u"ZELO.exe\0\\..\\..\\x"sv, nullptr},
        EntryCase{"ATab", u"ZELO\t.exe", nullptr}),
    CaseTitle());

TEST(UninstallEntryFolderTest, AFolderThatIsNotAbsoluteResolvesNothing) {
  String path;
  EXPECT_FALSE(TInstallerActionUninstallFiles::ResolveEntry(u"ZELO\\", u"ZELO.exe", path));
  EXPECT_FALSE(TInstallerActionUninstallFiles::ResolveEntry(u"\\", u"ZELO.exe", path));
  EXPECT_FALSE(TInstallerActionUninstallFiles::ResolveEntry(u"", u"ZELO.exe", path));
  EXPECT_FALSE(
      TInstallerActionUninstallFiles::ResolveEntry(u"C:\\Program Files\\ZELO", u"x.txt", path));
}

}  // namespace
