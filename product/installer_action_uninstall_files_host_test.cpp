// Removing an installation: what goes and what stays for each choice, and the uninstall data's
// entries that must not reach outside the installation.
#include "product/installer_action_uninstall_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/change_observer.h"
#include "platform/file_name.h"
#include "platform/host_double.h"
#include "platform/process.h"
#include "platform/shell_folders.h"
#include "product/installer_actions_test_fixture.h"
#include "tests/support/case_title.h"

namespace {

using platform::ShellFolder;

// "Uninstall.ini" with Entries as its list.
std::string UninstallList(const std::vector<std::string>& entries) {
  std::string text = "[Uninstall]\r\n";
  for (size_t i = 0; i < entries.size(); ++i) {
    text += std::to_string(i) + "=" + entries[i] + "\r\n";
  }
  return text + "Count=" + std::to_string(entries.size()) + "\r\n";
}

const std::vector<std::string> InstalledFiles = {
    "ZELO.exe", "Langs\\Russian.lng", "Skins\\Dark.zsk", "Uninstall.dat", "Uninstall.exe"};

class UninstallFilesTest : public ProductActionTest {
 protected:
  void SetUp() override {
    ProductActionTest::SetUp();
    std::filesystem::create_directories(folder_.NativePath(u"Temp"));
    HostDouble::SetEnvironmentValue(u"TMP", folder_.PathOf(u"Temp"));
    HostDouble::SetShellFolder(ShellFolder::Profile, folder_.PathOf(u"Users\\me"));
    HostDouble::SetShellFolder(ShellFolder::AppData, folder_.PathOf(u"Users\\me\\AppData"));
    for (const std::string& file : InstalledFiles) WriteFile(u"ZELO\\" + Utf8ToString(file));
    WriteFile(u"ZELO\\!Backup\\ZELO 4.51.zip");
    WriteFile(u"ZELO\\Profile\\ZELO.ini");
    WriteFile(u"ZELO\\Added\\mine.txt");
    std::filesystem::create_directories(folder_.NativePath(u"ZELO\\Empty\\Deeper"));
    WriteFile(u"Users\\me\\AppData\\ZELO\\ZELO.ini");
  }

  // Runs the action of an uninstaller made with Switches whose data lists Entries; the
  // uninstall page's choices are Options ("Common" section).
  void RunUninstall(StringView switches, StringView options,
                    const std::vector<std::string>& entries = InstalledFiles) {
    std::string list = UninstallList(entries);
    ExtendPackage(u"PRODUCT", {{u"Uninstall.ini", list}});
    TInstaller& installer = Create(switches);
    ASSERT_EQ(installer.Mode(), imUninstall);
    installer.SetDestPath(folder_.PathOf(u"ZELO\\"));
    installer.OptionStore().WriteSectionText(u"Common", options);
    TInstallerActionUninstallFiles action;
    RunAction(action);
  }
};

struct ChoiceCase {
  const char* Title;
  const char16_t* Switches;
  const char16_t* Options;
  const char* Config;  // the installation's "ZELO.ini"
  std::vector<const char16_t*> Staying;
  std::vector<const char16_t*> Gone;
};

class UninstallChoiceTest : public UninstallFilesTest,
                            public testing::WithParamInterface<ChoiceCase> {};

TEST_P(UninstallChoiceTest, RemovesWhatTheChoicesSay) {
  const ChoiceCase& run = GetParam();
  if (run.Config != nullptr) WriteFile(u"ZELO\\ZELO.ini", run.Config);
  RunUninstall(run.Switches, run.Options);
  for (const char16_t* path : run.Staying) EXPECT_TRUE(Exists(path)) << StringToUtf8(path);
  for (const char16_t* path : run.Gone) EXPECT_FALSE(Exists(path)) << StringToUtf8(path);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, UninstallChoiceTest,
    testing::Values(
        // Installed files and empty folders go; files the user added keep their folder.
        ChoiceCase{"InteractiveByDefault",
                   u"",
                   u"",
                   nullptr,
                   {u"ZELO\\!Backup\\ZELO 4.51.zip", u"ZELO\\Profile\\ZELO.ini",
                    u"ZELO\\Added\\mine.txt", u"Users\\me\\AppData\\ZELO\\ZELO.ini"},
                   {u"ZELO\\ZELO.exe", u"ZELO\\Uninstall.exe", u"ZELO\\Uninstall.dat",
                    u"ZELO\\Langs", u"ZELO\\Skins", u"ZELO\\Empty"}},
        // The backups' default follows the automatic run.
        ChoiceCase{"AutomaticByDefault",
                   u"/AUTO",
                   u"",
                   nullptr,
                   {u"ZELO\\Profile\\ZELO.ini", u"ZELO\\Added\\mine.txt"},
                   {u"ZELO\\!Backup", u"ZELO\\ZELO.exe"}},
        ChoiceCase{"AutomaticKeepingTheBackups",
                   u"/AUTO",
                   u"RemoveBackups=0",
                   nullptr,
                   {u"ZELO\\!Backup\\ZELO 4.51.zip"},
                   {u"ZELO\\ZELO.exe"}},
        ChoiceCase{"ThePortableSettings",
                   u"",
                   u"RemoveContent=1",
                   "[System]\r\nUserMode=0\r\n",
                   {u"ZELO\\!Backup\\ZELO 4.51.zip", u"Users\\me\\AppData\\ZELO\\ZELO.ini"},
                   {u"ZELO\\Profile"}},
        // Everything in the installation folder goes, the user's own files included.
        ChoiceCase{"SettingsAndBackups",
                   u"",
                   u"RemoveContent=1\r\nRemoveBackups=1",
                   nullptr,
                   {u"Users\\me\\AppData\\ZELO\\ZELO.ini"},
                   {u"ZELO"}},
        ChoiceCase{"TheUsersSettings",
                   u"",
                   u"RemoveContent=1",
                   "[System]\r\nUserMode=1\r\n",
                   {u"ZELO\\!Backup\\ZELO 4.51.zip", u"ZELO\\ZELO.ini"},
                   {u"Users\\me\\AppData\\ZELO", u"ZELO\\Profile"}},
        // Unlike the product information, a missing mode does not count as per user here.
        ChoiceCase{"NoUsersSettingsWithoutTheMode",
                   u"",
                   u"RemoveContent=1",
                   "[System]\r\nVersion=5000\r\n",
                   {u"Users\\me\\AppData\\ZELO\\ZELO.ini"},
                   {u"ZELO\\Profile"}},
        ChoiceCase{"TheUsersSettingsOnlyWhenChosen",
                   u"",
                   u"RemoveContent=0",
                   "[System]\r\nUserMode=1\r\n",
                   {u"Users\\me\\AppData\\ZELO\\ZELO.ini", u"ZELO\\Profile\\ZELO.ini"},
                   {u"ZELO\\ZELO.exe"}}),
    CaseTitle());

// A file in use goes at the next restart, which the run then asks for. The uninstaller that
// handed over to this copy is in use too, until it has the result: moved aside, it is the
// uninstallation's own leftover in the temporary folder, like the copy, and asks for nothing.
TEST_F(UninstallFilesTest, OnlyTheProductsFilesInUseAskForARestart) {
  struct Case {
    const char* Title;
    const char16_t* Running;
    bool RestartNeeded;
  };
  for (const Case& one : {Case{"TheRunningUninstaller", u"ZELO\\Uninstall.exe", false},
                          Case{"APlayerStillRunning", u"ZELO\\ZELO.exe", true}}) {
    SCOPED_TRACE(one.Title);
    for (const std::string& file : InstalledFiles) WriteFile(u"ZELO\\" + Utf8ToString(file));
    ExtendPackage(u"PRODUCT", {{u"Uninstall.ini", UninstallList(InstalledFiles)}});
    TInstaller& installer = Create(u"/AUTO");
    installer.SetDestPath(folder_.PathOf(u"ZELO\\"));
    // This process is the uninstaller's copy, named as the one in the installation.
    struct ProgramName {
      const String saved = platform::GetProgramFileName();
      ~ProgramName() { HostDouble::SetProgramFileName(saved); }
    } restore;
    HostDouble::SetProgramFileName(folder_.PathOf(u"Temp\\Uninstall.exe"));
    HostDouble::SetProgramRunning(folder_.PathOf(one.Running), true);
    HostDouble::TakeRestartDeletes();
    TInstallerActionUninstallFiles action;
    RunAction(action);
    HostDouble::SetProgramRunning(folder_.PathOf(one.Running), false);
    EXPECT_FALSE(Exists(one.Running)) << "moved out of the installation";
    EXPECT_EQ(HostDouble::TakeRestartDeletes().size(), 1u);
    EXPECT_EQ(installer.RestartNeeded(), one.RestartNeeded);
  }
}

TEST_F(UninstallFilesTest, EntriesThatLeadOutOfTheInstallationDeleteNothing) {
  WriteFile(u"outside.txt");
  WriteFile(u"Users\\me\\AppData\\ZELO\\keep.txt");
  const std::string outside = StringToUtf8(folder_.PathOf(u"outside.txt"));
  RunUninstall(u"", u"",
               {"..\\outside.txt", "Langs\\..\\..\\outside.txt", outside,
                "..\\Users\\me\\AppData\\ZELO\\keep.txt", "/outside.txt", "ZELO.exe"});
  EXPECT_TRUE(Exists(u"outside.txt"));
  EXPECT_TRUE(Exists(u"Users\\me\\AppData\\ZELO\\keep.txt"));
  // The entries that stay inside still go.
  EXPECT_FALSE(Exists(u"ZELO\\ZELO.exe"));
}

TEST_F(UninstallFilesTest, AnEntryThatNamesAFolderDeletesNothing) {
  WriteFile(u"ZELO\\Langs\\German.lng");
  RunUninstall(u"", u"", {"Langs", "Langs\\"});
  EXPECT_TRUE(Exists(u"ZELO\\Langs\\German.lng"));
  EXPECT_TRUE(Exists(u"ZELO\\Langs\\Russian.lng"));
  EXPECT_TRUE(HostDouble::TakeRestartDeletes().empty());
}

TEST_F(UninstallFilesTest, EachFileCountsOnceInTheProgress) {
  // One subfolder (Langs) once the others are gone, and two files: "ZELO.exe" is listed twice.
  std::filesystem::remove_all(folder_.NativePath(u"ZELO"));
  WriteFile(u"ZELO\\ZELO.exe");
  WriteFile(u"ZELO\\Langs\\Russian.lng");
  RunUninstall(u"", u"", {"ZELO.exe", "zelo.EXE", "Langs\\Russian.lng"});
  EXPECT_EQ(progress_, (std::vector<int>{33, 66, 100}));
  EXPECT_FALSE(Exists(u"ZELO\\Langs"));
}

TEST_F(UninstallFilesTest, AnEmptyListStillRemovesTheEmptyFolders) {
  RunUninstall(u"", u"", {});
  EXPECT_FALSE(Exists(u"ZELO\\Empty"));
  EXPECT_TRUE(Exists(u"ZELO\\ZELO.exe"));
}

TEST_F(UninstallFilesTest, AFileInUseGoesAtTheNextRestart) {
  HostDouble::SetProgramRunning(folder_.PathOf(u"ZELO\\ZELO.exe"), true);
  RunUninstall(u"", u"", {"ZELO.exe"});
  EXPECT_FALSE(Exists(u"ZELO\\ZELO.exe"));
  EXPECT_EQ(HostDouble::TakeRestartDeletes().size(), 1u);
  HostDouble::SetProgramRunning(folder_.PathOf(u"ZELO\\ZELO.exe"), false);
}

TEST_F(UninstallFilesTest, AnInstallationAtADrivesRootNeverTakesTheDriveAlong) {
  std::filesystem::create_directories(folder_.NativePath(u"DriveR"));
  HostDouble::SetDriveRoot(u'R', folder_.NativePath(u"DriveR").string());
  WriteFile(u"DriveR\\ZELO.exe");
  WriteFile(u"DriveR\\Documents\\letter.txt");
  ExtendPackage(u"PRODUCT", {{u"Uninstall.ini", UninstallList({"ZELO.exe"})}});
  TInstaller& installer = Create(u"");
  installer.SetDestPath(u"R:\\");
  installer.OptionStore().WriteSectionText(u"Common", u"RemoveContent=1\r\nRemoveBackups=1");
  TInstallerActionUninstallFiles action;
  RunAction(action);
  EXPECT_FALSE(Exists(u"DriveR\\ZELO.exe"));
  EXPECT_TRUE(Exists(u"DriveR\\Documents\\letter.txt"));
}

// An uninstallation killed at any moment must leave the uninstaller able to run again as long as
// anything is left: its own two files go after every other file and folder, the backups'
// whole tree included.
TEST_F(UninstallFilesTest, TheUninstallerAndItsDataGoLast) {
  ExtendPackage(u"PRODUCT", {{u"Uninstall.ini", UninstallList(InstalledFiles)}});
  TInstaller& installer = Create(u"/AUTO");
  installer.SetDestPath(folder_.PathOf(u"ZELO\\"));
  // This process is the uninstaller's copy, named as the one in the installation.
  struct ProgramName {
    const String saved = platform::GetProgramFileName();
    ~ProgramName() { HostDouble::SetProgramFileName(saved); }
  } restore;
  HostDouble::SetProgramFileName(folder_.PathOf(u"Temp\\Uninstall.exe"));
  // Last among the installed files and folders; only the trees the user chose to remove (the
  // backups here) come after, since a tree cannot take the running uninstaller with it.
  static std::vector<String> removed;
  removed.clear();
  platform::SetChangeObserver([](platform::Change change, StringView subject, StringView) {
    if (change == platform::Change::FileDeleted || change == platform::Change::FolderRemoved) {
      const String name =
          platform::ExtractFileName(platform::ExcludeTrailingPathDelimiter(subject));
      if (name == u"!Backup" || subject.find(u"!Backup") == StringView::npos) {
        removed.push_back(name);
      }
    }
  });
  TInstallerActionUninstallFiles action;
  RunAction(action);
  platform::SetChangeObserver(nullptr);
  ASSERT_GE(removed.size(), 3u);
  EXPECT_EQ(std::vector<String>(removed.end() - 3, removed.end()),
            (std::vector<String>{u"Uninstall.dat", u"Uninstall.exe", u"!Backup"}));
  EXPECT_EQ(progress_.back(), 100);
}

}  // namespace
