// What only the host's file system can hold: links, and names that differ only in letter case.
// Packing must name files by where they sit and never lose a folder silently; extracting must
// not follow a link out of the output folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/temporary_folder.h"
#include "tools/setupkit/capturing_console.h"
#include "tools/setupkit/native_path.h"
#include "tools/setupkit/setupkit.h"

namespace {

class SetupKitLinks : public testing::Test {
 protected:
  String Native(StringView relative) const { return FromNativePath(folder_.NativePath(relative)); }

  int Run(std::vector<String> arguments) {
    console_ = CapturingConsole();
    return RunSetupKit(arguments, console_);
  }

  TemporaryFolder folder_;
  CapturingConsole console_;
};

TEST_F(SetupKitLinks, PackNamesALinkedFileByItsPlaceAndRefusesALinkedFolder) {
  folder_.WriteFile(u"shared\\readme.txt", "shared text");
  folder_.WriteFile(u"product\\ZELO.exe", "MZ");
  std::filesystem::create_symlink(folder_.NativePath(u"shared\\readme.txt"),
                                  folder_.NativePath(u"product\\readme.txt"));
  ASSERT_EQ(Run({u"pack", Native(u"product"), u"-o", Native(u"p.pkg")}), 0)
      << StringToUtf8(console_.error);
  ASSERT_EQ(Run({u"list", Native(u"p.pkg")}), 0);
  EXPECT_EQ(console_.out, u"11\treadme.txt\n2\tZELO.exe\n");

  std::filesystem::create_directory_symlink(folder_.NativePath(u"shared"),
                                            folder_.NativePath(u"product\\more"));
  EXPECT_EQ(Run({u"pack", Native(u"product"), u"-o", Native(u"q.pkg")}), 1);
  EXPECT_EQ(console_.error,
            u"setupkit: \"more\" is a link to a folder, which is not packed: copy the folder in "
            u"instead\n");
}

TEST_F(SetupKitLinks, PackRefusesNamesThatAPackageCannotHoldApart) {
  struct Case {
    std::vector<StringView> Files;
    StringView Message;
  };
  const Case cases[] = {
      {{u"case\\a.txt", u"case\\A.TXT"}, u"names that differ only in letter case"},
      {{u"device\\CON"}, u"cannot pack \"CON\": it names a device"},
      {{u"dot\\file."}, u"cannot pack \"file.\": a path part ends in a dot or a blank"},
  };
  for (const Case& one : cases) {
    for (const StringView file : one.Files) folder_.WriteFile(file, "x");
    const String source = Native(String(one.Files[0].substr(0, one.Files[0].find(u'\\'))));
    EXPECT_EQ(Run({u"pack", source, u"-o", Native(u"p.pkg")}), 1);
    EXPECT_NE(console_.error.find(one.Message), String::npos) << StringToUtf8(console_.error);
  }
}

TEST_F(SetupKitLinks, ExtractDoesNotFollowALinkOutOfTheOutputFolder) {
  folder_.WriteFile(u"in\\sub\\x.txt", "x");
  ASSERT_EQ(Run({u"pack", Native(u"in"), u"-o", Native(u"p.pkg")}), 0);
  std::filesystem::create_directories(folder_.NativePath(u"out"));
  std::filesystem::create_directories(folder_.NativePath(u"elsewhere"));
  std::filesystem::create_directory_symlink(folder_.NativePath(u"elsewhere"),
                                            folder_.NativePath(u"out\\sub"));
  EXPECT_EQ(Run({u"extract", Native(u"p.pkg"), u"-o", Native(u"out")}), 1);
  EXPECT_EQ(console_.error,
            u"setupkit: refusing to extract \"sub\\x.txt\": a link in the output folder leads out "
            u"of it\n");
  EXPECT_FALSE(std::filesystem::exists(folder_.NativePath(u"elsewhere\\x.txt")));
}

}  // namespace
