// The file chores of the product's steps, on real files: copying a profile tree, sparing a
// folder in a deletion list, removing trees, and the order of the file search.
#include "product/setup_helper.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "core/installer_errors.h"
#include "platform/file_attributes.h"
#include "product/installer_file_list.h"
#include "support/string_list.h"
#include "tests/support/temporary_folder.h"

namespace {

class SetupHelperTest : public testing::Test {
 protected:
  bool Exists(StringView relative) const {
    return std::filesystem::exists(folder_.NativePath(relative));
  }
  // The files the search finds under Relative, relative to the test's folder, in search order.
  std::vector<String> Search(StringView relative, StringView excluded_relative = {}) const {
    std::vector<String> found;
    const String excluded =
        excluded_relative.empty() ? String() : folder_.PathOf(excluded_relative);
    TSetupHelper::FindFiles(folder_.PathOf(relative), excluded, [&](const String& path, uint64_t) {
      found.push_back(path.substr(folder_.Path().size()));
    });
    return found;
  }

  TemporaryFolder folder_;
};

TEST_F(SetupHelperTest, CopyFolderCopiesTheWholeTreeOverWhatIsThere) {
  folder_.WriteFile(u"Old\\ZELO3.ini", "old settings");
  folder_.WriteFile(u"Old\\Skins\\Deep\\layout.ini", "layout");
  std::filesystem::create_directories(folder_.NativePath(u"Old\\Empty"));
  folder_.WriteFile(u"New\\ZELO3.ini", "stale copy");
  folder_.WriteFile(u"New\\only-new.txt", "kept");

  TSetupHelper::CopyFolder(folder_.PathOf(u"Old\\"), folder_.PathOf(u"New\\"), false);

  EXPECT_EQ(folder_.ReadFile(u"New\\ZELO3.ini"), "old settings");
  EXPECT_EQ(folder_.ReadFile(u"New\\Skins\\Deep\\layout.ini"), "layout");
  EXPECT_TRUE(Exists(u"New\\Empty"));
  EXPECT_EQ(folder_.ReadFile(u"New\\only-new.txt"), "kept");
  EXPECT_TRUE(Exists(u"Old\\ZELO3.ini")) << "a copy leaves the source";
}

TEST_F(SetupHelperTest, CopyFolderWithMoveRemovesTheSourceOnceCopied) {
  folder_.WriteFile(u"Old\\a\\b.txt", "b");
  TSetupHelper::CopyFolder(folder_.PathOf(u"Old\\"), folder_.PathOf(u"New\\"), true);
  EXPECT_EQ(folder_.ReadFile(u"New\\a\\b.txt"), "b");
  EXPECT_FALSE(Exists(u"Old"));
}

TEST_F(SetupHelperTest, CopyFolderIntoItselfDoesNothing) {
  folder_.WriteFile(u"Profile\\ZELO.ini", "settings");
  // Spelled differently, still the same folder: a move would otherwise delete the only copy.
  TSetupHelper::CopyFolder(folder_.PathOf(u"Profile\\"), folder_.PathOf(u"PROFILE\\"), true);
  EXPECT_EQ(folder_.ReadFile(u"Profile\\ZELO.ini"), "settings");
}

TEST_F(SetupHelperTest, CopyFolderFailureNamesBothFoldersAndKeepsTheSource) {
  folder_.WriteFile(u"Old\\ZELO.ini", "settings");
  // A file where the target folder should be: nothing can be copied into it.
  folder_.WriteFile(u"Blocked", "a file");
  const String source = folder_.PathOf(u"Old\\");
  const String target = folder_.PathOf(u"Blocked\\");
  try {
    TSetupHelper::CopyFolder(source, target, true);
    FAIL() << "no error";
  } catch (const EInstallerInstallError& error) {
    EXPECT_EQ(error.Message(), u"Cannot copy \"" + source + u"\" to \"" + target + u"\"");
  }
  EXPECT_TRUE(Exists(u"Old\\ZELO.ini")) << "a failed move must not lose the source";
}

TEST_F(SetupHelperTest, ExcludeFolderDropsEverythingUnderTheFolderIgnoringCase) {
  struct Case {
    std::vector<String> Entries;
    String Folder;
    std::vector<String> Remaining;
  };
  const Case cases[] = {
      {{u"C:\\P\\a.dll", u"C:\\P\\Plugins\\x.dll", u"C:\\P\\plugins\\Sub\\y.dll", u"C:\\P\\b"},
       u"C:\\P\\Plugins\\",
       {u"C:\\P\\a.dll", u"C:\\P\\b"}},
      // Only a whole folder name matches: a sibling that shares the beginning stays.
      {{u"C:\\P\\Plugins2\\x.dll", u"C:\\P\\Plugins\\x.dll"},
       u"C:\\P\\Plugins\\",
       {u"C:\\P\\Plugins2\\x.dll"}},
      {{u"C:\\P\\Plugins\\a", u"C:\\P\\PLUGINS\\b", u"c:\\p\\plugins\\c"}, u"C:\\P\\Plugins\\", {}},
      {{}, u"C:\\P\\", {}},
  };
  for (const Case& test : cases) {
    TVYNStringList list;
    for (const String& entry : test.Entries) list.Add(entry);
    TSetupHelper::ExcludeFolder(list, test.Folder);
    std::vector<String> remaining;
    for (int i = 0; i < list.Count(); ++i) remaining.push_back(list.Items(i));
    EXPECT_EQ(remaining, test.Remaining) << StringToUtf8(test.Folder);
  }
}

TEST_F(SetupHelperTest, RemoveFolderOnlyIfEmptyLeavesAFolderWithContent) {
  folder_.WriteFile(u"Full\\file.txt", "x");
  std::filesystem::create_directories(folder_.NativePath(u"Empty"));
  TSetupHelper::RemoveFolder(folder_.PathOf(u"Full\\"), true);
  TSetupHelper::RemoveFolder(folder_.PathOf(u"Empty"), true);
  EXPECT_TRUE(Exists(u"Full\\file.txt"));
  EXPECT_FALSE(Exists(u"Empty"));
}

TEST_F(SetupHelperTest, RemoveFolderRemovesTheWholeTree) {
  folder_.WriteFile(u"Start\\ZELO\\ZELO.lnk", "link");
  folder_.WriteFile(u"Start\\ZELO\\Tools\\Converter.lnk", "link");
  std::filesystem::create_directories(folder_.NativePath(u"Start\\ZELO\\Empty"));
  TSetupHelper::RemoveFolder(folder_.PathOf(u"Start\\ZELO\\"), false);
  EXPECT_FALSE(Exists(u"Start\\ZELO"));
  EXPECT_TRUE(Exists(u"Start"));
  // A folder that is not there is nothing to do.
  TSetupHelper::RemoveFolder(folder_.PathOf(u"Start\\ZELO\\"), false);
}

TEST_F(SetupHelperTest, RemoveFileClearsTheReadOnlyAttribute) {
  folder_.WriteFile(u"locked.ini", "x");
  ASSERT_TRUE(platform::SetFileAttributeFlags(folder_.PathOf(u"locked.ini"),
                                              platform::FileAttributeReadOnly));
  TSetupHelper::RemoveFile(folder_.PathOf(u"locked.ini"));
  EXPECT_FALSE(Exists(u"locked.ini"));
  TSetupHelper::RemoveFile(folder_.PathOf(u"missing.ini"));  // nothing to do, no error
}

TEST_F(SetupHelperTest, FileSearchGivesFilesBeforeSubfoldersInSortedOrder) {
  for (const StringView name : {u"T\\b.txt", u"T\\A.txt", u"T\\Zeta\\z.txt", u"T\\alpha\\2.txt",
                                u"T\\alpha\\1.txt", u"T\\alpha\\deep\\d.txt", u"T\\c.txt"}) {
    folder_.WriteFile(name, "x");
  }
  const std::vector<String> expected = {u"T\\A.txt",        u"T\\b.txt",
                                        u"T\\c.txt",        u"T\\alpha\\1.txt",
                                        u"T\\alpha\\2.txt", u"T\\alpha\\deep\\d.txt",
                                        u"T\\Zeta\\z.txt"};
  EXPECT_EQ(Search(u"T\\"), expected);
}

TEST_F(SetupHelperTest, FileSearchDoesNotEnterTheExcludedFolder) {
  folder_.WriteFile(u"T\\ZELO.exe", "x");
  folder_.WriteFile(u"T\\!Backup\\z Before install 5.0 [2024.01.01 00-00-00].zip", "x");
  folder_.WriteFile(u"T\\!Backup\\Nested\\n.txt", "x");
  folder_.WriteFile(u"T\\!Backup2\\other.txt", "x");
  EXPECT_EQ(Search(u"T\\", u"T\\!BACKUP\\"),
            (std::vector<String>{u"T\\ZELO.exe", u"T\\!Backup2\\other.txt"}));
  EXPECT_TRUE(Search(u"Missing\\").empty());
}

TEST_F(SetupHelperTest, FileListNamesFilesWithThePrefixAndDropsByFileName) {
  folder_.WriteFile(u"Roaming\\ZELO\\ZELO.ini", "1234");
  folder_.WriteFile(u"Roaming\\ZELO\\Covers\\AlbumArts.db", "x");
  folder_.WriteFile(u"Roaming\\ZELO\\albumarts.DB", "x");
  TInstallerFileList list;
  list.AddFolder(folder_.PathOf(u"Roaming\\ZELO"), u"", u"Profiles\\me\\");
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Items(0).ArchiveName, u"Profiles\\me\\albumarts.DB");
  EXPECT_EQ(list.Items(1).ArchiveName, u"Profiles\\me\\ZELO.ini");
  EXPECT_EQ(list.Items(1).FileName, folder_.PathOf(u"Roaming\\ZELO\\ZELO.ini"));
  EXPECT_EQ(list.Items(1).Size, 4u);
  EXPECT_EQ(list.Items(2).ArchiveName, u"Profiles\\me\\Covers\\AlbumArts.db");

  list.RemoveByFileName(u"AlbumArts.db");
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Items(0).ArchiveName, u"Profiles\\me\\ZELO.ini");
}

}  // namespace
