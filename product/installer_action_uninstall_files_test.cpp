// Which entries of the uninstall data name a file inside the installation, and which name
// nothing because they would reach elsewhere; which entries the list is read from: pure text
// work, the same on every build.
#include "product/installer_action_uninstall_files.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/ini_file.h"
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

// Reading the list out of "Uninstall.ini": entries by index up to Count, whatever the file's
// line order, each file once.
struct FileListCase {
  const char* Title;
  const char16_t* Ini;
  std::vector<const char16_t*> Expected;  // relative to Folder
};

class UninstallFileListTest : public testing::TestWithParam<FileListCase> {};

TEST_P(UninstallFileListTest, ListsTheEntriesBelowCountInIndexOrder) {
  const FileListCase& test = GetParam();
  TVYNIniFile data;
  data.LoadFromString(test.Ini);
  std::vector<String> expected;
  for (const char16_t* file : test.Expected) expected.push_back(String(Folder) + file);
  EXPECT_EQ(TInstallerActionUninstallFiles::ReadFileList(data, Folder), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, UninstallFileListTest,
    testing::Values(
        // As the installer writes it: "0", "Count", "1", ...
        FileListCase{"AsWritten",
                     u"[Uninstall]\r\n0=ZELO.exe\r\nCount=3\r\n1=Uninstall.dat\r\n"
                     u"2=Uninstall.exe\r\n",
                     {u"ZELO.exe", u"Uninstall.dat", u"Uninstall.exe"}},
        FileListCase{"IndexOrderNotLineOrder",
                     u"[Uninstall]\r\nCount=3\r\n2=c.dll\r\n0=a.dll\r\n1=b.dll\r\n",
                     {u"a.dll", u"b.dll", u"c.dll"}},
        FileListCase{"NothingAtOrBeyondCount",
                     u"[Uninstall]\r\nCount=2\r\n0=a.dll\r\n2=beyond.dll\r\n1=b.dll\r\n",
                     {u"a.dll", u"b.dll"}},
        FileListCase{"NoCountNoFiles", u"[Uninstall]\r\n0=a.dll\r\n", {}},
        FileListCase{"NoSectionNoFiles", u"[Common]\r\nCount=1\r\n0=a.dll\r\n", {}},
        // Of two lines with one key the first counts, as for every key of the file.
        FileListCase{"TheFirstLineOfAKey",
                     u"[Uninstall]\r\nCount=1\r\n0=first.dll\r\n0=second.dll\r\n",
                     {u"first.dll"}},
        // Keys the installer never writes: a leading zero, blanks, a sign.
        FileListCase{"OnlyPlainIndexes",
                     u"[Uninstall]\r\nCount=2\r\n00=zeros.dll\r\n 1=blank.dll\r\n"
                     u"+1=sign.dll\r\n1=b.dll\r\n",
                     {u"b.dll"}},
        FileListCase{"EachFileOnce",
                     u"[Uninstall]\r\nCount=3\r\n0=ZELO.exe\r\n1=zelo.EXE\r\n"
                     u"2=Langs\\..\\ZELO.exe\r\n",
                     {u"ZELO.exe"}},
        FileListCase{"EntriesThatNameNothingAreLeftOut",
                     u"[Uninstall]\r\nCount=3\r\n0=..\\outside.dll\r\n1=\r\n2=a.dll\r\n",
                     {u"a.dll"}},
        // The largest Count there is: read key by key from 0, this would take hours.
        FileListCase{"AHugeCountCostsNothing",
                     u"[Uninstall]\r\n0=a.dll\r\nCount=2147483647\r\n"
                     u"2147483646=last.dll\r\n2147483647=beyond.dll\r\n",
                     {u"a.dll", u"last.dll"}}),
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
