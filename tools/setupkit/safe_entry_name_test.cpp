// Which package names may become files below an output folder.
#include "tools/setupkit/safe_entry_name.h"

#include <gtest/gtest.h>

#include "tests/support/case_title.h"

namespace {

struct NameCase {
  const char* Title;
  String Name;
  bool Safe;
};

class EntryNames : public testing::TestWithParam<NameCase> {};

TEST_P(EntryNames, AreJudged) {
  String reason;
  EXPECT_EQ(IsSafeEntryName(GetParam().Name, reason), GetParam().Safe) << StringToUtf8(reason);
  EXPECT_EQ(reason.empty(), GetParam().Safe);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EntryNames,
    testing::Values(
        NameCase{"PlainFile", u"Install.xml", true},
        NameCase{"NestedFile", u"Langs\\Русский.lng", true},
        NameCase{"DotsInsideANameAreFine", u"a..b\\c.d.txt", true},
        NameCase{"ConsoleIsAWordHere", u"Console.txt", true},
        NameCase{"Com10IsNoDevice", u"COM10", true},
        NameCase{"ParentFolder", u"..\\evil.exe", false},
        NameCase{"ParentFolderInside", u"a\\..\\..\\evil.exe", false},
        NameCase{"ForwardSlashParent", u"a/../../evil", false},
        NameCase{"RootedBackslash", u"\\Windows\\evil.dll", false},
        NameCase{"RootedSlash", u"/etc/passwd", false}, NameCase{"Drive", u"C:\\evil.exe", false},
        NameCase{"DriveRelative", u"C:evil.exe", false},
        NameCase{"DataStream", u"file.txt:hidden", false},
        NameCase{"UncShare", u"\\\\server\\share\\x", false}, NameCase{"Device", u"NUL", false},
        NameCase{"DeviceWithExtension", u"sub\\con.txt", false},
        NameCase{"NumberedDevice", u"lpt1", false}, NameCase{"DeviceNumberZero", u"COM0", false},
        NameCase{"SuperscriptDeviceNumber", u"COM\u00B9.log", false},
        NameCase{"ConsoleInput", u"conin$", false},
        NameCase{"ConsoleOutput", u"CONOUT$.txt", false}, NameCase{"TrailingDot", u"file.", false},
        NameCase{"TrailingBlank", u"folder \\file", false}, NameCase{"EmptyPart", u"a\\\\b", false},
        NameCase{"Empty", u"", false}, NameCase{"Wildcard", u"a*.txt", false},
        NameCase{"ControlCharacter", u"a\u0001b", false}),
    CaseTitle());

}  // namespace
