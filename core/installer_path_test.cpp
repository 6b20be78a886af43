// The one clean-up of the installer's paths: every way of writing a folder that Windows reads as
// the same folder must come out as the same text, and what cannot be a destination is named.
#include "core/installer_path.h"

#include <gtest/gtest.h>

#include <string>

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
    testing::Values(
        DestinationCase{"AFolderOnADrive", u"C:\\Apps\\ZELO\\", u""},
        DestinationCase{"AFolderOnAShare", u"\\\\server\\share\\ZELO\\", u""},
        DestinationCase{"Relative", u"Apps\\ZELO\\",
                        u"The destination folder \"Apps\\ZELO\\" + NotFull},
        DestinationCase{"RelativeToADrivesCurrentFolder", u"C:Apps\\",
                        u"The destination folder \"C:Apps\\" + NotFull},
        DestinationCase{"RootedWithoutADrive", u"\\Apps\\",
                        u"The destination folder \"\\Apps\\" + NotFull},
        DestinationCase{"ADrivesRoot", u"C:\\", u"The destination folder \"C:\\" + Root},
        DestinationCase{"AShareRoot", u"\\\\server\\share\\",
                        u"The destination folder \"\\\\server\\share\\" + Root},
        DestinationCase{"ADevice", u"C:\\Apps\\nul.txt\\",
                        u"The destination folder \"C:\\Apps\\nul.txt\\\" names the "
                        u"device \"nul.txt\": choose another folder."},
        DestinationCase{"AsLongAsAllowed",
                        u"C:\\" + String(MaximumDestPathLength - 3, u'x') + u"\\", u""}),
    CaseTitle());

// A destination of thousands of characters would have every file's path pass what Windows
// programs handle, and nested folders made for it by the thousand; it is refused on its length
// alone, before anything else is looked at, with a message of readable length.
TEST(DestPathError, ATooLongDestinationIsRefusedOnItsLengthWithAShortMessage) {
  const String one_too_long = u"C:\\" + String(MaximumDestPathLength - 2, u'x') + u"\\";
  EXPECT_TRUE(DestPathError(one_too_long).starts_with(u"The destination folder \"C:\\xxx"));
  EXPECT_NE(DestPathError(one_too_long).find(u"is 246 characters long"), String::npos);

  String huge = u"C:";
  while (huge.size() < 10000) huge += u"\\abcd";
  const String error = DestPathError(huge);
  const String length = Utf8ToString(std::to_string(huge.size()));
  EXPECT_NE(error.find(u"is " + length + u" characters long"), String::npos) << StringToUtf8(error);
  EXPECT_NE(error.find(u"at most 245 characters"), String::npos);
  EXPECT_LT(error.size(), 400u);
  // Relative or not, a destination that long is told about its length first.
  EXPECT_NE(DestPathError(huge.substr(2)).find(u"characters long"), String::npos);
}

TEST(DeviceNameIn, FindsTheFirstPartThatIsADevice) {
  EXPECT_EQ(DeviceNameIn(u"C:\\a\\COM1.txt\\b"), u"COM1.txt");
  EXPECT_EQ(DeviceNameIn(u"C:\\a/aux/b"), u"aux");
  EXPECT_EQ(DeviceNameIn(u"C:\\a\\b"), u"");
}

struct TargetCase {
  const char* Title;
  String Name;
  String Problem;  // empty: written as it reads
};

class TargetNameProblemCases : public testing::TestWithParam<TargetCase> {};

TEST_P(TargetNameProblemCases, NamesWhatTheCleanUpWouldQuietlyChange) {
  EXPECT_EQ(TargetNameProblem(GetParam().Name), GetParam().Problem);
}

const String Stream = u"it names a data stream (a colon after a name)";
const String Character = u"it holds a character that file names cannot hold";
const String Namespace = u"it addresses the system's device namespace";

INSTANTIATE_TEST_SUITE_P(
    Cases, TargetNameProblemCases,
    testing::Values(TargetCase{"Plain", u"$DEST\\Help\\Help.txt", u""},
                    TargetCase{"Slashes", u"$DEST/Help/Help.txt", u""},
                    TargetCase{"ADrive", u"C:\\Apps\\x.txt", u""},
                    TargetCase{"AShare", u"\\\\server\\share\\x.txt", u""},
                    TargetCase{"DotsAndBlanks", u"$DEST\\a b.c. \\x", u""},
                    TargetCase{"AStream", u"$DEST\\a.txt:evil", Stream},
                    TargetCase{"AStreamOfAFolder", u"$DEST\\Help:x\\a.txt", Stream},
                    TargetCase{"ADriveInTheMiddle", u"$DEST\\D:\\a.txt", Stream},
                    TargetCase{"AStreamRightAfterAVariable", u"$DEST:evil", Stream},
                    TargetCase{"AWildcard", u"$DEST\\*.txt", Character},
                    TargetCase{"AQuestionMark", u"$DEST\\a?.txt", Character},
                    TargetCase{"AQuote", u"$DEST\\\"a\".txt", Character},
                    TargetCase{"APipe", u"$DEST\\a|b", Character},
                    TargetCase{"AControlCharacter", u"$DEST\\a\tb",
                               u"it holds a control character"},
                    TargetCase{"TheLongPathPrefix", u"\\\\?\\C:\\x.txt", Namespace},
                    TargetCase{"TheDevicePrefix", u"\\\\.\\C:\\x.txt", Namespace},
                    TargetCase{"TheDevicePrefixWithSlashes", u"//./PhysicalDrive0", Namespace}),
    CaseTitle());

TEST(QuotablePath, CutsALongPathInItsMiddle) {
  EXPECT_EQ(QuotablePath(u"C:\\short"), u"C:\\short");
  const String path = u"C:\\" + String(500, u'a') + u"\\end.txt";
  const String quoted = QuotablePath(path);
  EXPECT_LT(quoted.size(), 100u);
  EXPECT_TRUE(quoted.starts_with(u"C:\\aaa"));
  EXPECT_TRUE(quoted.ends_with(u"aaa\\end.txt"));
}

}  // namespace
