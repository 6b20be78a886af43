// Private folders: made only where nothing of the name exists, named unpredictably, and never an
// existing folder taken over, however often the name is taken.
#include "platform/private_folder.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/os_error.h"
#include "tests/support/temporary_folder.h"

namespace {

// Hands out the given numbers in turn.
platform::RandomSource Scripted(std::vector<uint64_t> numbers) {
  return [numbers, next = size_t{0}]() mutable { return numbers.at(next++); };
}

TEST(PrivateFolder, IsCreatedOnlyWhereNothingHasItsName) {
  const TemporaryFolder folder;
  folder.WriteFile(u"taken-by-a-folder\\planted.dll", "MZ");
  folder.WriteFile(u"taken-by-a-file", "MZ");
  struct Case {
    const char* Title;
    String Name;
    uint32_t Error;  // 0: created
  };
  const Case cases[] = {
      {"Free", u"free", 0},
      {"AFolderMadeBeforehand", u"taken-by-a-folder", platform::ErrorAlreadyExists},
      {"AFileOfTheName", u"taken-by-a-file", platform::ErrorAlreadyExists},
      {"NoParent", u"missing\\free", platform::ErrorPathNotFound},
  };
  for (const Case& one : cases) {
    SCOPED_TRACE(one.Title);
    const bool created = platform::CreatePrivateFolder(folder.PathOf(one.Name));
    EXPECT_EQ(created, one.Error == 0);
    if (!created) {
      EXPECT_EQ(platform::GetLastOSError(), one.Error);
    }
  }
  EXPECT_TRUE(platform::FolderExists(folder.PathOf(u"free")));
  // What was there stays as it was, and is not handed out as the new folder.
  EXPECT_EQ(folder.ReadFile(u"taken-by-a-folder\\planted.dll"), "MZ");
  EXPECT_EQ(folder.ReadFile(u"taken-by-a-file"), "MZ");
  // The folder is usable by its maker: a file goes in.
  folder.WriteFile(u"free\\Uninstall.exe", "MZ");
  EXPECT_EQ(folder.ReadFile(u"free\\Uninstall.exe"), "MZ");
}

TEST(PrivateFolder, IsNamedAfterThePrefixAndTheRandomNumber) {
  const TemporaryFolder folder;
  String path;
  ASSERT_TRUE(
      platform::CreateUniquePrivateFolder(platform::ExcludeTrailingPathDelimiter(folder.Path()),
                                          u"Uninstall-", path, Scripted({0x0123456789ABCDEFu})));
  EXPECT_EQ(path, folder.PathOf(u"Uninstall-0123456789abcdef\\"));
  EXPECT_TRUE(platform::FolderExists(path));
}

TEST(PrivateFolder, ATakenNameIsPassedOverNeverReused) {
  const TemporaryFolder folder;
  folder.WriteFile(u"Uninstall-0000000000000001\\Uninstall.exe", "planted");
  folder.WriteFile(u"Uninstall-0000000000000002", "planted");
  String path;
  ASSERT_TRUE(
      platform::CreateUniquePrivateFolder(folder.Path(), u"Uninstall-", path, Scripted({1, 2, 3})));
  EXPECT_EQ(path, folder.PathOf(u"Uninstall-0000000000000003\\"));
  EXPECT_EQ(folder.ReadFile(u"Uninstall-0000000000000001\\Uninstall.exe"), "planted");
  EXPECT_EQ(folder.ReadFile(u"Uninstall-0000000000000002"), "planted");
}

// Someone who could take every name (a broken random source) makes it fail, not succeed with
// their folder.
TEST(PrivateFolder, GivesUpWhenEveryNameIsTaken) {
  const TemporaryFolder folder;
  folder.WriteFile(u"Uninstall-0000000000000007\\Uninstall.exe", "planted");
  String path = u"unchanged";
  EXPECT_FALSE(
      platform::CreateUniquePrivateFolder(folder.Path(), u"Uninstall-", path, [] { return 7u; }));
  EXPECT_EQ(platform::GetLastOSError(), platform::ErrorAlreadyExists);
  EXPECT_EQ(path, u"unchanged");
  EXPECT_EQ(folder.ReadFile(u"Uninstall-0000000000000007\\Uninstall.exe"), "planted");
}

TEST(PrivateFolder, AnotherFailureEndsTheSearchAtOnce) {
  const TemporaryFolder folder;
  int calls = 0;
  String path;
  EXPECT_FALSE(platform::CreateUniquePrivateFolder(folder.PathOf(u"missing"), u"Uninstall-", path,
                                                   [&] { return static_cast<uint64_t>(++calls); }));
  EXPECT_EQ(platform::GetLastOSError(), platform::ErrorPathNotFound);
  EXPECT_EQ(calls, 1);
}

// The system's numbers: names nobody can tell in advance, each run another.
TEST(PrivateFolder, TheSystemsNamesDifferEachTime) {
  const TemporaryFolder folder;
  std::set<String> names;
  for (int i = 0; i < 8; ++i) {
    String path;
    ASSERT_TRUE(platform::CreateUniquePrivateFolder(folder.Path(), u"Uninstall-", path));
    const String name = platform::ExtractFileName(platform::ExcludeTrailingPathDelimiter(path));
    EXPECT_TRUE(platform::IsUniquePrivateFolderName(name, u"Uninstall-")) << StringToUtf8(name);
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 8u);
}

TEST(PrivateFolder, RecognizesItsOwnNames) {
  struct Case {
    const char* Title;
    String Name;
    bool Expected;
  };
  const Case cases[] = {
      {"Made", u"Uninstall-0123456789abcdef", true},
      {"OtherLetterCase", u"UNINSTALL-0123456789ABCDEF", true},
      {"TheTemporaryFolderItself", u"Temp", false},
      {"TooFewDigits", u"Uninstall-0123456789abcde", false},
      {"TooManyDigits", u"Uninstall-0123456789abcdef0", false},
      {"NotHexadecimal", u"Uninstall-0123456789abcdeg", false},
      {"AnotherPrefix", u"Uninstal--0123456789abcdef", false},
  };
  for (const Case& one : cases) {
    SCOPED_TRACE(one.Title);
    EXPECT_EQ(platform::IsUniquePrivateFolderName(one.Name, u"Uninstall-"), one.Expected);
  }
}

}  // namespace
