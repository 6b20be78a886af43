// Parts of file names, as Windows reads them.
#include "platform/file_name.h"

#include <gtest/gtest.h>
#include "tests/support/case_title.h"

namespace {

using namespace platform;

String ChangeToTxt(StringView path) {
  return ChangeFileExt(path, u".txt");
}
String DropExtension(StringView path) {
  return ChangeFileExt(path, u"");
}

struct PartCase {
  const char* Title;
  String (*Part)(StringView path);
  String Path;
  String Expected;
};

class FileNamePart : public testing::TestWithParam<PartCase> {};

TEST_P(FileNamePart, IsTakenFromTheRightDelimiter) {
  EXPECT_EQ(GetParam().Part(GetParam().Path), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileNamePart,
    testing::Values(
        PartCase{"PathKeepsItsDelimiter", ExtractFilePath, u"C:\\a\\b.exe", u"C:\\a\\"},
        PartCase{"PathAfterSlash", ExtractFilePath, u"C:\\a/b.exe", u"C:\\a/"},
        PartCase{"PathOfDriveRelativeName", ExtractFilePath, u"C:b.exe", u"C:"},
        PartCase{"PathOfBareName", ExtractFilePath, u"b.exe", u""},
        PartCase{"PathOfFolder", ExtractFilePath, u"C:\\a\\", u"C:\\a\\"},
        PartCase{"NameAfterBackslash", ExtractFileName, u"C:\\a\\b.exe", u"b.exe"},
        PartCase{"NameAfterColon", ExtractFileName, u"C:b.exe", u"b.exe"},
        PartCase{"NameOfFolderIsEmpty", ExtractFileName, u"C:\\a\\", u""},
        PartCase{"NameOfBareName", ExtractFileName, u"b", u"b"},
        PartCase{"ExtWithDot", ExtractFileExt, u"C:\\a\\b.Exe", u".Exe"},
        PartCase{"ExtIsTheLastOne", ExtractFileExt, u"b.tar.gz", u".gz"},
        PartCase{"ExtOfFolderIsNotTaken", ExtractFileExt, u"C:\\a.d\\b", u""},
        PartCase{"ExtOfFolderAfterSlash", ExtractFileExt, u"a.d/b", u""},
        PartCase{"ExtOfTrailingDot", ExtractFileExt, u"b.", u"."},
        PartCase{"ExtOfDotFile", ExtractFileExt, u"C:\\.config", u".config"},
        PartCase{"ExtNone", ExtractFileExt, u"b", u""},
        PartCase{"ChangeReplaces", ChangeToTxt, u"C:\\a\\b.exe", u"C:\\a\\b.txt"},
        PartCase{"ChangeAdds", ChangeToTxt, u"C:\\a.d\\b", u"C:\\a.d\\b.txt"},
        PartCase{"ChangeOnlyTheLast", ChangeToTxt, u"b.tar.gz", u"b.tar.txt"},
        PartCase{"ChangeToNothing", DropExtension, u"C:\\a\\b.exe", u"C:\\a\\b"},
        PartCase{"IncludeAdds", IncludeTrailingPathDelimiter, u"C:\\a", u"C:\\a\\"},
        PartCase{"IncludeKeeps", IncludeTrailingPathDelimiter, u"C:\\a\\", u"C:\\a\\"},
        PartCase{"IncludeLeavesEmpty", IncludeTrailingPathDelimiter, u"", u""},
        PartCase{"ExcludeOne", ExcludeTrailingPathDelimiter, u"C:\\a\\", u"C:\\a"},
        PartCase{"ExcludeAll", ExcludeTrailingPathDelimiter, u"C:\\a\\/\\", u"C:\\a"},
        PartCase{"ExcludeNone", ExcludeTrailingPathDelimiter, u"C:\\a", u"C:\\a"},
        PartCase{"ExcludeKeepsDriveRoot", ExcludeTrailingPathDelimiter, u"C:\\", u"C:\\"},
        PartCase{"ExcludeDownToDriveRoot", ExcludeTrailingPathDelimiter, u"C:\\\\", u"C:\\"},
        PartCase{"ExcludeKeepsRoot", ExcludeTrailingPathDelimiter, u"\\", u"\\"},
        PartCase{"ExcludeShare", ExcludeTrailingPathDelimiter, u"\\\\s\\share\\", u"\\\\s\\share"},
        PartCase{"ExcludeEmpty", ExcludeTrailingPathDelimiter, u"", u""}),
    CaseTitle());

struct TestCase {
  const char* Title;
  bool (*Test)(StringView a, StringView b);
  String A;
  String B;
  bool Expected;
};

bool Absolute(StringView path, StringView) {
  return IsAbsolutePath(path);
}
bool Root(StringView path, StringView) {
  return IsRootPath(path);
}

class FileNameTest : public testing::TestWithParam<TestCase> {};

TEST_P(FileNameTest, Answers) {
  EXPECT_EQ(GetParam().Test(GetParam().A, GetParam().B), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileNameTest,
    testing::Values(
        TestCase{"StartsIgnoringCase", StartsWithIgnoringCase, u"C:\\Program Files\\x",
                 u"c:\\PROGRAM files", true},
        TestCase{"StartsWithNonAsciiCase", StartsWithIgnoringCase, u"\u00C9t\u00E9", u"\u00E9T",
                 true},
        TestCase{"StartsWithLonger", StartsWithIgnoringCase, u"C:\\a", u"C:\\ab", false},
        TestCase{"StartsWithEmpty", StartsWithIgnoringCase, u"x", u"", true},
        TestCase{"StartsDiffers", StartsWithIgnoringCase, u"C:\\ab", u"C:\\b", false},
        TestCase{"SameIgnoringCase", SameFileName, u"C:\\A\\b.EXE", u"c:\\a\\B.exe", true},
        TestCase{"SameNotAPrefix", SameFileName, u"C:\\a", u"C:\\ab", false},
        TestCase{"SameNotByDelimiterSpelling", SameFileName, u"C:\\a", u"C:/a", false},
        TestCase{"AbsoluteDrive", Absolute, u"C:\\a", {}, true},
        TestCase{"AbsoluteDriveWithSlash", Absolute, u"d:/a", {}, true},
        TestCase{"AbsoluteShare", Absolute, u"\\\\server\\share\\a", {}, true},
        TestCase{"AbsoluteLongForm", Absolute, u"\\\\?\\C:\\a", {}, true},
        TestCase{"DriveRelative", Absolute, u"C:a", {}, false},
        TestCase{"DriveOnly", Absolute, u"C:", {}, false},
        TestCase{"RootRelative", Absolute, u"\\a", {}, false},
        TestCase{"ThreeSlashes", Absolute, u"\\\\\\a", {}, false},
        TestCase{"Relative", Absolute, u"a\\b", {}, false},
        TestCase{"NotADrive", Absolute, u"1:\\a", {}, false},
        TestCase{"EmptyIsRelative", Absolute, u"", {}, false},
        TestCase{"RootOfDrive", Root, u"C:\\", {}, true},
        TestCase{"RootOfShare", Root, u"\\\\server\\share\\", {}, true},
        TestCase{"RootOfShareWithoutDelimiter", Root, u"\\\\server\\share", {}, true},
        TestCase{"FolderOfDrive", Root, u"C:\\a", {}, false},
        TestCase{"FolderOfShare", Root, u"\\\\server\\share\\a", {}, false},
        TestCase{"ServerOnly", Root, u"\\\\server\\", {}, false},
        TestCase{"DriveWithoutDelimiter", Root, u"C:", {}, false},
        TestCase{"SlashOnly", Root, u"\\", {}, false},
        TestCase{"InFolder", IsPathInFolder, u"C:\\Prog\\a.exe", u"c:\\prog", true},
        TestCase{"InFolderWithDelimiter", IsPathInFolder, u"C:\\Prog\\a\\b", u"C:\\Prog\\", true},
        TestCase{"FolderItselfIsNotIn", IsPathInFolder, u"C:\\Prog", u"C:\\Prog", false},
        TestCase{"FolderWithDelimiterIsNotIn", IsPathInFolder, u"C:\\Prog\\", u"C:\\Prog", false},
        TestCase{"SiblingWithSamePrefix", IsPathInFolder, u"C:\\Program\\a", u"C:\\Prog", false},
        TestCase{"EmptyFolderHoldsNothing", IsPathInFolder, u"a", u"", false}),
    CaseTitle());

}  // namespace
