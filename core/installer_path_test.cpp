// The one clean-up of the installer's paths: every way of writing a folder that Windows reads as
// the same folder must come out as the same text, and what cannot be a destination is named.
#include "core/installer_path.h"

#include <gtest/gtest.h>

#include "tests/support/case_title.h"

namespace {

struct PathCase {
  const char* Title;
  String Path;
  String Expected;
};

class CleanInstallerPathCases : public testing::TestWithParam<PathCase> {};

TEST_P(CleanInstallerPathCases, GivesTheFormWindowsReads) {
  EXPECT_EQ(CleanInstallerPath(GetParam().Path), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CleanInstallerPathCases,
    testing::Values(
        PathCase{"ForwardSlashesAreDelimiters", u"C:/Apps/ZELO/", u"C:\\Apps\\ZELO\\"},
        PathCase{"MixedSlashes", u"C:\\Apps/ZELO\\x", u"C:\\Apps\\ZELO\\x"},
        PathCase{"QuotesInsideAreDropped", u"C:\\\"my dest\"\\x\\", u"C:\\my dest\\x\\"},
        PathCase{"TrailingDotsAndBlanksOfTheLastPart", u"C:\\dest. . \\", u"C:\\dest\\"},
        PathCase{"TrailingDotsAndBlanksOfEveryPart", u"C:\\a. \\b..\\c", u"C:\\a\\b\\c"},
        PathCase{"LeadingBlanksGo", u"C:\\  a b . \\x", u"C:\\a b\\x"},
        PathCase{"LongPathPrefixOfADrive", u"\\\\?\\C:\\dest\\", u"C:\\dest\\"},
        PathCase{"LongPathPrefixOfAShare", u"\\\\?\\UNC\\server\\share\\dest\\",
                 u"\\\\server\\share\\dest\\"},
        PathCase{"LongPathPrefixIgnoresLetterCaseOfUnc", u"\\\\?\\unc\\server\\share\\x",
                 u"\\\\server\\share\\x"},
        PathCase{"DevicePrefixOfADrive", u"\\\\.\\D:\\x", u"D:\\x"},
        PathCase{"DotAndDotDotAreResolved", u"C:\\a\\.\\b\\..\\c\\", u"C:\\a\\c\\"},
        PathCase{"DotDotStopsAtTheRoot", u"C:\\..\\..\\x", u"C:\\x"},
        PathCase{"DotDotUpToTheRoot", u"C:\\a\\..\\..\\..", u"C:\\"},
        PathCase{"DotDotStopsAtTheShare", u"\\\\server\\share\\..\\x", u"\\\\server\\share\\x"},
        PathCase{"APartOfDotsOnlyIsNoName", u"C:\\a\\...\\b", u"C:\\a\\b"},
        PathCase{"DoubledDelimitersAndForbiddenCharacters", u"C:\\dir\\\\sub\\<a|b>*c:d?e",
                 u"C:\\dir\\sub\\abcde"},
        PathCase{"ShareRoot", u"\\\\server\\share\\\\dir", u"\\\\server\\share\\dir"},
        PathCase{"ShareWrittenWithSlashes", u"//server/share/dir/", u"\\\\server\\share\\dir\\"},
        PathCase{"DriveAloneIsItsRoot", u"D:", u"D:\\"}, PathCase{"DriveRoot", u"C:\\", u"C:\\"},
        PathCase{"DriveRelativeStaysRelative", u"C:Apps\\ZELO", u"C:Apps\\ZELO"},
        PathCase{"RootedWithoutDriveStaysSo", u"\\Apps\\ZELO\\", u"\\Apps\\ZELO\\"},
        PathCase{"RelativeStaysRelative", u"Apps\\\\ZELO\\", u"Apps\\ZELO\\"},
        PathCase{"RelativeCannotClimbOut", u"..\\..\\x", u"x"},
        PathCase{"PartsAreCutTo255Characters", u"C:\\" + String(300, u'x'),
                 u"C:\\" + String(255, u'x')},
        PathCase{"APartCutBeforeABlankLosesTheBlank",
                 u"C:\\" + String(254, u'x') + u" " + String(10, u'y'),
                 u"C:\\" + String(254, u'x')},
        PathCase{"Empty", u"", u""}),
    CaseTitle());

TEST(NormalizeDestPath, EndsInOneDelimiterAndLeavesAnEmptyPathEmpty) {
  EXPECT_EQ(NormalizeDestPath(u"C:/Apps/ZELO"), u"C:\\Apps\\ZELO\\");
  EXPECT_EQ(NormalizeDestPath(u"C:\\Apps\\ZELO\\\\"), u"C:\\Apps\\ZELO\\");
  EXPECT_EQ(NormalizeDestPath(u"C:\\dest. . \\"), u"C:\\dest\\");
  EXPECT_EQ(NormalizeDestPath(u"C:\\"), u"C:\\");
  EXPECT_EQ(NormalizeDestPath(u""), u"");
}

struct DestinationCase {
  const char* Title;
  String Path;
  String Error;  // empty: a destination
};

class DestPathErrorCases : public testing::TestWithParam<DestinationCase> {};

TEST_P(DestPathErrorCases, NamesWhatCannotBeADestination) {
  EXPECT_EQ(DestPathError(GetParam().Path), GetParam().Error);
}

const String NotFull = u"\" is not a full path: name its drive or network share too.";
const String Root = u"\" is the root of a drive or share: choose a folder in it.";

INSTANTIATE_TEST_SUITE_P(
    Cases, DestPathErrorCases,
    testing::Values(DestinationCase{"AFolderOnADrive", u"C:\\Apps\\ZELO\\", u""},
                    DestinationCase{"AFolderOnAShare", u"\\\\server\\share\\ZELO\\", u""},
                    DestinationCase{"Relative", u"Apps\\ZELO\\",
                                    u"The destination folder \"Apps\\ZELO\\" + NotFull},
                    DestinationCase{"RelativeToADrivesCurrentFolder", u"C:Apps\\",
                                    u"The destination folder \"C:Apps\\" + NotFull},
                    DestinationCase{"RootedWithoutADrive", u"\\Apps\\",
                                    u"The destination folder \"\\Apps\\" + NotFull},
                    DestinationCase{"ADrivesRoot", u"C:\\",
                                    u"The destination folder \"C:\\" + Root},
                    DestinationCase{"AShareRoot", u"\\\\server\\share\\",
                                    u"The destination folder \"\\\\server\\share\\" + Root}),
    CaseTitle());

}  // namespace
