// The special folders and the temporary folder, as Wine's shell and the host double give them.
#include "platform/shell_folders.h"

#include <gtest/gtest.h>

#include "platform/file_name.h"
#include "tests/support/case_title.h"

namespace {

using platform::ShellFolder;

String FolderOf(ShellFolder folder) {
  String path;
  EXPECT_TRUE(platform::GetShellFolder(folder, path));
  return path;
}

struct FolderCase {
  const char* Title;
  ShellFolder Folder;
};

class EveryShellFolder : public testing::TestWithParam<FolderCase> {};

TEST_P(EveryShellFolder, IsADrivePathWithoutTrailingBackslash) {
  const String path = FolderOf(GetParam().Folder);
  ASSERT_GT(path.size(), 3u);
  EXPECT_EQ(path.substr(1, 2), u":\\");
  EXPECT_NE(path.back(), u'\\');
}

INSTANTIATE_TEST_SUITE_P(Cases, EveryShellFolder,
                         testing::Values(FolderCase{"CommonDesktop", ShellFolder::CommonDesktop},
                                         FolderCase{"CommonPrograms", ShellFolder::CommonPrograms},
                                         FolderCase{"ProgramFiles", ShellFolder::ProgramFiles},
                                         FolderCase{"Desktop", ShellFolder::Desktop},
                                         FolderCase{"StartMenu", ShellFolder::StartMenu},
                                         FolderCase{"Programs", ShellFolder::Programs},
                                         FolderCase{"AppData", ShellFolder::AppData},
                                         FolderCase{"LocalAppData", ShellFolder::LocalAppData},
                                         FolderCase{"Profile", ShellFolder::Profile},
                                         FolderCase{"CommonStartMenu",
                                                    ShellFolder::CommonStartMenu},
                                         FolderCase{"System", ShellFolder::System}),
                         CaseTitle());

TEST(ShellFolders, TheUsersFoldersLieInTheProfileAndItsStartMenu) {
  const String profile = FolderOf(ShellFolder::Profile) + u"\\";
  EXPECT_TRUE(FolderOf(ShellFolder::AppData).starts_with(profile));
  EXPECT_TRUE(FolderOf(ShellFolder::LocalAppData).starts_with(profile));
  EXPECT_TRUE(FolderOf(ShellFolder::Desktop).starts_with(profile));
  EXPECT_EQ(FolderOf(ShellFolder::Programs), FolderOf(ShellFolder::StartMenu) + u"\\Programs");
  EXPECT_FALSE(FolderOf(ShellFolder::CommonDesktop).starts_with(profile));
  EXPECT_EQ(FolderOf(ShellFolder::CommonPrograms),
            FolderOf(ShellFolder::CommonStartMenu) + u"\\Programs");
}

TEST(ShellFolders, TheSystemFolderIsSystem32) {
  const String system = FolderOf(ShellFolder::System);
  EXPECT_TRUE(platform::SameFileName(platform::ExtractFileName(system), u"system32"))
      << StringToUtf8(system);
}

TEST(ShellFolders, TheTemporaryFolderEndsWithABackslash) {
  String temp;
  ASSERT_TRUE(platform::GetTempFolder(temp));
  ASSERT_GT(temp.size(), 3u);
  EXPECT_EQ(temp.substr(1, 2), u":\\");
  EXPECT_EQ(temp.back(), u'\\');
}

}  // namespace
