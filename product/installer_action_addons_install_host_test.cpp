// The add-ons installer: the switches of the user's choices, where the installer is written and
// how it is started, and what fails the action.
#include "product/installer_action_addons_install.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/installer_summary_builder.h"
#include "platform/private_folder.h"
#include "platform/shell_execute.h"
#include "product/installer_actions_test_fixture.h"
#include "support/ini_file.h"
#include "support/string_list.h"
#include "tests/support/case_title.h"

namespace {

constexpr char AddonsList[] =
    "P4=PictaSetup.exe\r\nCL=/S /LANG=ru %s\r\nP1=/NOASSOC\r\nP2=/VIEWER\r\nP3=/SHORTCUTS\r\n"
    "L0=Picta Viewer\r\n";
constexpr char AddonsInstaller[] = "MZ the add-ons installer";

class AddonsInstallTest : public ProductActionTest {
 protected:
  void SetUp() override {
    ProductActionTest::SetUp();
    std::filesystem::create_directories(folder_.NativePath(u"Temp"));
    HostDouble::SetEnvironmentValue(u"TMP", folder_.PathOf(u"Temp"));
  }

  // The folders in the temporary folder, by name.
  std::vector<String> TemporaryFolders() const {
    std::vector<String> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.NativePath(u"Temp"))) {
      if (entry.is_directory()) names.push_back(Utf8ToString(entry.path().filename().string()));
    }
    return names;
  }

  // Where the action wrote the add-on's installer, relative to the test folder: in the one
  // folder of its own it made in the temporary folder.
  String WrittenInstaller() const {
    const std::vector<String> folders = TemporaryFolders();
    if (folders.size() != 1)
      return u"<" + Utf8ToString(std::to_string(folders.size())) + u" folders>";
    return u"Temp\\" + folders[0] + u"\\PictaSetup.exe";
  }

  void Choose(bool viewer, bool extensions, bool shortcuts) {
    TVYNIniFile& options = installer_->OptionStore();
    options.WriteBool(u"Common", u"AddonsViewer", viewer);
    options.WriteBool(u"Common", u"AddonsExtensions", extensions);
    options.WriteBool(u"Common", u"AddonsShortcuts", shortcuts);
  }
};

struct ChoiceCase {
  const char* Title;
  bool Viewer;
  bool Extensions;
  bool Shortcuts;
  const char16_t* Parameters;
};

class AddonsChoiceTest : public AddonsInstallTest,
                         public testing::WithParamInterface<ChoiceCase> {};

TEST_P(AddonsChoiceTest, WritesTheInstallerToTheTemporaryFolderAndOpensItWithTheSwitches) {
  const ChoiceCase& choice = GetParam();
  ExtendPackage(u"SETUP", {{u"addons.ini", AddonsList}, {u"PictaSetup.exe", AddonsInstaller}});
  CreateInteractive();
  Choose(choice.Viewer, choice.Extensions, choice.Shortcuts);
  TInstallerActionAddonsInstall action;
  RunAction(action);

  // In a folder of its own, where nobody can have planted anything beside it.
  const std::vector<String> folders = TemporaryFolders();
  ASSERT_EQ(folders.size(), 1u);
  EXPECT_TRUE(platform::IsUniquePrivateFolderName(folders[0], u"Addons-"))
      << StringToUtf8(folders[0]);
  const String installer = u"Temp\\" + folders[0] + u"\\PictaSetup.exe";
  EXPECT_EQ(folder_.ReadFile(installer), AddonsInstaller);
  const auto executions = HostDouble::TakeShellExecutions();
  ASSERT_EQ(executions.size(), 1u);
  EXPECT_EQ(executions[0].File, folder_.PathOf(installer));
  EXPECT_EQ(executions[0].Parameters, choice.Parameters);
  EXPECT_EQ(executions[0].Directory, u"");
  EXPECT_EQ(executions[0].ShowCommand, platform::ShowNormal);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, AddonsChoiceTest,
    testing::Values(
        // Without the extensions the add-on is told to leave the file types alone; the blank
        // after each switch stays.
        ChoiceCase{"ViewerOnly", true, false, false, u"/S /LANG=ru /NOASSOC /VIEWER "},
        ChoiceCase{"ExtensionsOnly", false, true, false, u"/S /LANG=ru "},
        ChoiceCase{"ShortcutsOnly", false, false, true, u"/S /LANG=ru /NOASSOC /SHORTCUTS "},
        ChoiceCase{"Everything", true, true, true, u"/S /LANG=ru /VIEWER /SHORTCUTS "}),
    CaseTitle());

TEST_F(AddonsInstallTest, NoChoiceReadsNothingAndStartsNothing) {
  // The test product has no "addons.ini": reading it would fail the action.
  CreateInteractive();
  Choose(false, false, false);
  TInstallerActionAddonsInstall action;
  EXPECT_NO_THROW(RunAction(action));
  EXPECT_TRUE(HostDouble::TakeShellExecutions().empty());
  EXPECT_TRUE(TemporaryFolders().empty());
}

TEST_F(AddonsInstallTest, AMissingListFailsTheAction) {
  CreateInteractive();
  Choose(true, false, false);
  TInstallerActionAddonsInstall action;
  try {
    RunAction(action);
    FAIL() << "no add-ons list, yet no failure";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), u"Cannot locate \"addons.ini\" file in setup archive");
  }
}

TEST_F(AddonsInstallTest, AMissingInstallerFailsTheAction) {
  ExtendPackage(u"SETUP", {{u"addons.ini", AddonsList}});
  CreateInteractive();
  Choose(true, false, false);
  TInstallerActionAddonsInstall action;
  EXPECT_THROW(RunAction(action), Exception);
  EXPECT_TRUE(HostDouble::TakeShellExecutions().empty());
}

TEST_F(AddonsInstallTest, AnInstallerThatCannotBeWrittenFailsTheAction) {
  ExtendPackage(u"SETUP", {{u"addons.ini", AddonsList}, {u"PictaSetup.exe", AddonsInstaller}});
  HostDouble::SetEnvironmentValue(u"TMP", folder_.PathOf(u"Missing"));
  CreateInteractive();
  Choose(true, false, false);
  TInstallerActionAddonsInstall action;
  EXPECT_THROW(RunAction(action), Exception);
  EXPECT_TRUE(HostDouble::TakeShellExecutions().empty());
}

struct InstallerPathCase {
  const char* Title;
  const char* List;
  const char16_t* Expected;  // below the temporary folder; empty: no file name at all
};

class AddonsInstallerPathTest : public testing::TestWithParam<InstallerPathCase> {};

TEST_P(AddonsInstallerPathTest, StaysDirectlyInTheTemporaryFolder) {
  const InstallerPathCase& test = GetParam();
  TVYNStringList addons;
  addons.SetText(Utf8ToString(test.List));
  const String path = TInstallerActionAddonsInstall::InstallerPath(addons, u"C:\\Temp\\");
  EXPECT_EQ(path, *test.Expected == u'\0' ? String() : u"C:\\Temp\\" + String(test.Expected));
}

INSTANTIATE_TEST_SUITE_P(
    Names, AddonsInstallerPathTest,
    testing::Values(InstallerPathCase{"AFileName", "P4=PictaSetup.exe", u"PictaSetup.exe"},
                    InstallerPathCase{"FromASubfolderOfThePackage", "P4=addons\\PictaSetup.exe",
                                      u"PictaSetup.exe"},
                    InstallerPathCase{"WithSlashes", "P4=addons/PictaSetup.exe", u"PictaSetup.exe"},
                    InstallerPathCase{"UpAndOut", "P4=..\\..\\Windows\\picta.dll", u"picta.dll"},
                    InstallerPathCase{"ADrive", "P4=C:picta.exe", u"picta.exe"},
                    InstallerPathCase{"NoName", "CL=%s", u""},
                    InstallerPathCase{"AFolder", "P4=addons\\", u""},
                    InstallerPathCase{"TheParent", "P4=addons\\..", u""}),
    CaseTitle());

TEST_F(AddonsInstallTest, AnInstallerNamedWithFoldersIsWrittenIntoTheTemporaryFolder) {
  ExtendPackage(u"SETUP", {{u"addons.ini", "P4=..\\PictaSetup.exe\r\nCL=%s\r\n"},
                           {u"..\\PictaSetup.exe", AddonsInstaller}});
  CreateInteractive();
  Choose(true, false, false);
  TInstallerActionAddonsInstall action;
  RunAction(action);
  EXPECT_EQ(folder_.ReadFile(WrittenInstaller()), AddonsInstaller);
  EXPECT_FALSE(Exists(u"Temp\\PictaSetup.exe"));
  EXPECT_FALSE(Exists(u"PictaSetup.exe"));
}

TEST_F(AddonsInstallTest, AnInstallerThatDoesNotStartLeavesTheInstallationGoing) {
  ExtendPackage(u"SETUP", {{u"addons.ini", AddonsList}, {u"PictaSetup.exe", AddonsInstaller}});
  CreateInteractive();
  Choose(true, true, true);
  HostDouble::RefuseNextShellExecution();
  TInstallerActionAddonsInstall action;
  EXPECT_NO_THROW(RunAction(action));
  EXPECT_EQ(action.Progress(), 100);
  // Left for the user, as a started installer would be.
  EXPECT_TRUE(Exists(WrittenInstaller()));
}

TEST_F(AddonsInstallTest, TheSummaryListsTheChosenAddOnsUnderThePageTitle) {
  UseEnglishTexts(
      "[PageAddons]\r\nTitle=Add-ons\r\nCB1=The viewer\r\nCB2=Its file types\r\n"
      "CB3=Its shortcuts\r\n");
  CreateInteractive().Resources().InitializeLanguages();
  Choose(true, false, true);
  TInstallerSummaryBuilder builder;
  TInstallerActionAddonsInstall().BuildSummary(builder);
  EXPECT_EQ(builder.ToString(), u"Add-ons\r\n    The viewer\r\n    Its shortcuts\r\n");
}

}  // namespace
