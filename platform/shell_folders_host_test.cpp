// The host double's special folders: Wine's, for the double's user, unless a test changes them.
#include <gtest/gtest.h>

#include "platform/host_double.h"
#include "platform/os_error.h"
#include "platform/shell_folders.h"
#include "platform/temporary_file.h"
#include "tests/support/case_title.h"
#include "tests/support/temporary_folder.h"

namespace {

using platform::HostDouble;
using platform::ShellFolder;

class ShellFoldersDouble : public testing::Test {
 protected:
  void SetUp() override { HostDouble::SetUserName(u"alice"); }
  void TearDown() override {
    HostDouble::ResetShellFolders();
    HostDouble::ResetEnvironment();
    HostDouble::FailTempFolder(false);
  }
};

struct DefaultCase {
  const char* Title;
  ShellFolder Folder;
  const char16_t* Path;
};

class ShellFolderDefaults : public ShellFoldersDouble,
                            public testing::WithParamInterface<DefaultCase> {};

TEST_P(ShellFolderDefaults, AreWinesFoldersForTheUser) {
  String path;
  ASSERT_TRUE(platform::GetShellFolder(GetParam().Folder, path));
  EXPECT_EQ(path, GetParam().Path);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShellFolderDefaults,
    testing::Values(
        DefaultCase{"CommonDesktop", ShellFolder::CommonDesktop, u"C:\\users\\Public\\Desktop"},
        DefaultCase{"CommonPrograms", ShellFolder::CommonPrograms,
                    u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"},
        DefaultCase{"ProgramFiles", ShellFolder::ProgramFiles, u"C:\\Program Files"},
        DefaultCase{"Desktop", ShellFolder::Desktop, u"C:\\users\\alice\\Desktop"},
        DefaultCase{"StartMenu", ShellFolder::StartMenu,
                    u"C:\\users\\alice\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu"},
        DefaultCase{"Programs", ShellFolder::Programs,
                    u"C:\\users\\alice\\AppData\\Roaming\\Microsoft\\Windows\\Start "
                    u"Menu\\Programs"},
        DefaultCase{"AppData", ShellFolder::AppData, u"C:\\users\\alice\\AppData\\Roaming"},
        DefaultCase{"LocalAppData", ShellFolder::LocalAppData, u"C:\\users\\alice\\AppData\\Local"},
        DefaultCase{"Profile", ShellFolder::Profile, u"C:\\users\\alice"}),
    CaseTitle());

TEST_F(ShellFoldersDouble, ATestCanMoveAFolderOrMakeItFail) {
  HostDouble::SetShellFolder(ShellFolder::ProgramFiles, u"D:\\Programs");
  HostDouble::FailShellFolder(ShellFolder::AppData);
  String path;
  ASSERT_TRUE(platform::GetShellFolder(ShellFolder::ProgramFiles, path));
  EXPECT_EQ(path, u"D:\\Programs");
  EXPECT_FALSE(platform::GetShellFolder(ShellFolder::AppData, path));
  EXPECT_EQ(platform::GetLastOSError(), platform::ErrorFileNotFound);
  HostDouble::ResetShellFolders();
  ASSERT_TRUE(platform::GetShellFolder(ShellFolder::AppData, path));
  EXPECT_EQ(path, u"C:\\users\\alice\\AppData\\Roaming");
}

TEST_F(ShellFoldersDouble, TheTemporaryFolderComesFromTmpThenTempThenTheProfile) {
  String temp;
  ASSERT_TRUE(platform::GetTempFolder(temp));
  EXPECT_EQ(temp, u"C:\\users\\alice\\Temp\\");
  HostDouble::SetEnvironmentValue(u"TMP", u"D:\\Scratch\\");
  ASSERT_TRUE(platform::GetTempFolder(temp));
  EXPECT_EQ(temp, u"D:\\Scratch\\");
  HostDouble::RemoveEnvironmentValue(u"TMP");
  HostDouble::RemoveEnvironmentValue(u"TEMP");
  ASSERT_TRUE(platform::GetTempFolder(temp));
  EXPECT_EQ(temp, u"C:\\users\\alice\\");
}

TEST_F(ShellFoldersDouble, AFailingTemporaryFolderGivesNeitherItsPathNorFiles) {
  const TemporaryFolder folder;
  HostDouble::FailTempFolder(true);
  String temp = u"unchanged";
  EXPECT_FALSE(platform::GetTempFolder(temp));
  EXPECT_EQ(temp, u"unchanged");
  String path;
  EXPECT_FALSE(platform::CreateTemporaryFile(folder.Path(), u"tmp", path));
  EXPECT_TRUE(std::filesystem::is_empty(folder.NativePath()));
  HostDouble::FailTempFolder(false);
  EXPECT_TRUE(platform::GetTempFolder(temp));
  EXPECT_TRUE(platform::CreateTemporaryFile(folder.Path(), u"tmp", path));
}

}  // namespace
