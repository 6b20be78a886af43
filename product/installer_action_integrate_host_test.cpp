// The registration tool's command line for each choice, system and kind of run, and when the
// tool is not started at all.
#include "product/installer_action_integrate.h"

#include <gtest/gtest.h>

#include "core/installer_summary_builder.h"
#include "product/installer_actions_test_fixture.h"
#include "support/ini_file.h"
#include "tests/support/case_title.h"

namespace {

constexpr int Absent = -1;

struct IntegrateCase {
  const char* Title;
  int IntegrateToWindows;  // 0, 1 or Absent
  int RegisterContextMenu;
  int AssociateWithFiles;
  platform::WindowsVersion Windows;
  bool Automatic;
  const char16_t* Switches;  // null: the tool is not started
};

constexpr platform::WindowsVersion Windows7{6, 1, 7601};
constexpr platform::WindowsVersion Windows8{6, 2, 9200};
constexpr platform::WindowsVersion Windows10{10, 0, 19045};

class IntegrateTest : public ProductActionTest, public testing::WithParamInterface<IntegrateCase> {
 protected:
  // A destination with a blank in its name, as under "Program Files".
  TInstaller& CreateRun(bool automatic) {
    const String destination = folder_.PathOf(u"My Player\\");
    if (automatic) return Create(u"/AUTO=\"" + destination + u"\"");
    TInstaller& installer = Create(u"");
    installer.SetDestPath(destination);
    return installer;
  }
  static void Choose(TVYNIniFile& options, StringView key, int value) {
    if (value != Absent) options.WriteBool(u"Integration", key, value != 0);
  }
};

TEST_P(IntegrateTest, StartsTheToolWithTheSwitchesOfTheChoices) {
  const IntegrateCase& run = GetParam();
  HostDouble::SetWindowsVersion(run.Windows);
  TInstaller& installer = CreateRun(run.Automatic);
  WriteFile(u"My Player\\Elevator.exe");
  Choose(installer.OptionStore(), u"IntegrateToWindows", run.IntegrateToWindows);
  Choose(installer.OptionStore(), u"RegisterContextMenu", run.RegisterContextMenu);
  Choose(installer.OptionStore(), u"AssociateWithFiles", run.AssociateWithFiles);
  TInstallerActionIntegrate action;
  RunAction(action);
  std::vector<String> expected;
  // The tool's path is quoted, so that the blank in it cannot start another program.
  if (run.Switches != nullptr) {
    expected.push_back(u"\"" + folder_.PathOf(u"My Player\\Elevator.exe") + u"\"" + run.Switches);
  }
  EXPECT_EQ(HostDouble::TakeStartedPrograms(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, IntegrateTest,
    testing::Values(
        IntegrateCase{"EverythingByDefaultOnWindows10", Absent, Absent, Absent, Windows10, false,
                      u" /REG=L1 /REG=D1 /REG=R1 /REG=M1 /REG=R2 /REG_UI"},
        // Nobody is there to confirm the file types in the system's settings.
        IntegrateCase{"AutomaticRunsNeverOpenTheSettings", 1, 1, 1, Windows10, true,
                      u" /REG=L1 /REG=D1 /REG=R1 /REG=M1 /REG=R2"},
        IntegrateCase{"Windows7TakesFileTypesWithoutAsking", 1, 1, 1, Windows7, false,
                      u" /REG=L1 /REG=D1 /REG=R1 /REG=M1 /REG=R2"},
        IntegrateCase{"Windows8AsksForTheFileTypes", 0, 0, 1, Windows8, false, u" /REG=R2 /REG_UI"},
        IntegrateCase{"ContextMenuOnly", 0, 1, 0, Windows10, false, u" /REG=M1"},
        IntegrateCase{"WindowsOnly", 1, 0, 0, Windows10, false, u" /REG=L1 /REG=D1 /REG=R1"},
        IntegrateCase{"NothingChosenStartsNothing", 0, 0, 0, Windows10, false, nullptr}),
    CaseTitle());

using IntegrateToolTest = ProductActionTest;

TEST_F(IntegrateToolTest, AnInstallationWithoutTheToolIsNotIntegrated) {
  CreateInteractive();
  TInstallerActionIntegrate action;
  RunAction(action);
  EXPECT_TRUE(HostDouble::TakeStartedPrograms().empty());
}

TEST_F(IntegrateToolTest, AToolThatCannotStartDoesNotFailTheRun) {
  CreateInteractive();
  WriteFile(u"Elevator.exe");
  HostDouble::SetProgramHandler([](StringView) { return false; });
  TInstallerActionIntegrate action;
  EXPECT_NO_THROW(RunAction(action));
  EXPECT_EQ(HostDouble::TakeStartedPrograms().size(), 1u);
}

TEST_F(IntegrateToolTest, TheSummaryListsTheChoicesThatAreOn) {
  UseEnglishTexts(
      "[PageIntegration]\r\nLB2=Integration\r\nCB3=File types\r\nCB4=Windows\r\n"
      "CB5=Context menu\r\n");
  TInstaller& installer = CreateInteractive();
  installer.Resources().InitializeLanguages();
  installer.OptionStore().WriteBool(u"Integration", u"RegisterContextMenu", false);
  TInstallerSummaryBuilder builder;
  TInstallerActionIntegrate().BuildSummary(builder);
  EXPECT_EQ(builder.ToString(), u"Integration\r\n    Windows\r\n    File types\r\n");
}

}  // namespace
