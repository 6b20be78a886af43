// Closing the player: the passes over its window classes, and a program that never closes,
// played in the host double's virtual time.
#include "product/installer_action_close_applications.h"

#include <gtest/gtest.h>

#include "core/installer_errors.h"
#include "product/installer_actions_test_fixture.h"
#include "tests/support/case_title.h"

namespace {

using platform::NativeWindow;

class CloseApplicationsTest : public ProductActionTest {
 protected:
  static NativeWindow AddProgram(StringView class_name, StringView executable) {
    return HostDouble::AddWindow({String(class_name), u"", 4242, String(executable)});
  }
};

TEST_F(CloseApplicationsTest, NothingRunningCostsOnePass) {
  CreateAutomatic();
  TInstallerActionCloseApplications action;
  RunAction(action);
  EXPECT_EQ(HostDouble::TakePauses(), std::vector<uint32_t>{2000});
  EXPECT_TRUE(HostDouble::TakeCloseRequests().empty());
}

TEST_F(CloseApplicationsTest, AsksEachWindowInTheOrderOfItsClassThenChecksAgain) {
  const NativeWindow player = AddProgram(u"TZELOMainForm", u"C:\\ZELO\\ZELO.exe");
  const NativeWindow editor = AddProgram(u"TZELO2EditorForm", u"C:\\ZELO\\Editor.exe");
  const NativeWindow library = AddProgram(u"TZELOLibMainForm", u"C:\\ZELO\\Lib.exe");
  AddProgram(u"TSomeoneElsesForm", u"C:\\Other\\Other.exe");
  CreateAutomatic();
  TInstallerActionCloseApplications action;
  RunAction(action);
  EXPECT_EQ(HostDouble::TakeCloseRequests(), (std::vector<NativeWindow>{editor, library, player}));
  // The second pass finds them gone.
  EXPECT_EQ(HostDouble::TakePauses(), (std::vector<uint32_t>{2000, 2000}));
}

struct StuckCase {
  const char* Title;
  uint16_t Language;
  bool Localized;
  const char16_t* Executable;
  const char16_t* Expected;
};

class CloseApplicationsStuckTest : public CloseApplicationsTest,
                                   public testing::WithParamInterface<StuckCase> {};

TEST_P(CloseApplicationsStuckTest, AProgramThatNeverClosesFailsTheRunAfterHalfAMinute) {
  const StuckCase& stuck = GetParam();
  const NativeWindow window = AddProgram(u"TZELOMainForm", stuck.Executable);
  HostDouble::SetWindowRefusesToClose(window, true);
  HostDouble::SetUserInterfaceLanguage(stuck.Language);
  TInstaller& installer = CreateAutomatic();
  if (stuck.Localized) installer.Resources().InitializeLanguages();
  TInstallerActionCloseApplications action;
  try {
    RunAction(action);
    FAIL() << "the run went on with the program still running";
  } catch (const EInstallerInstallError& error) {
    EXPECT_EQ(error.Message(), stuck.Expected);
  }
  const std::vector<uint32_t> pauses = HostDouble::TakePauses();
  EXPECT_EQ(pauses, std::vector<uint32_t>(15, 2000));
  EXPECT_EQ(HostDouble::TakeCloseRequests().size(), pauses.size());
}

INSTANTIATE_TEST_SUITE_P(
    Messages, CloseApplicationsStuckTest,
    testing::Values(StuckCase{"NamedByItsExecutable", 0x0409, true, u"C:\\Apps\\ZELO\\ZELO.exe",
                              u"ZELO.exe is still running. Close it and run the setup again."},
                    StuckCase{
                        "InTheUsersLanguage", 0x0419, true, u"C:\\Apps\\ZELO\\ZELO.exe",
                        u"Программа ZELO.exe всё ещё работает. Закройте её и запустите установку "
                        u"снова."},
                    // A process of another user cannot be asked for its executable.
                    StuckCase{"NamedByItsWindowClassWhenTheProcessIsClosedToUs", 0x0409, true, u"",
                              u"TZELOMainForm is still running. Close it and run the setup again."},
                    // Language files older than the message.
                    StuckCase{"InEnglishWithoutTheText", 0x0409, false, u"C:\\Apps\\ZELO\\ZELO.exe",
                              u"ZELO.exe is still running. Close it and run the setup again."}),
    CaseTitle());

TEST_F(CloseApplicationsTest, ACancelledRunStopsAfterTheCurrentPassWithoutAnError) {
  const NativeWindow window = AddProgram(u"TZELOMainForm", u"C:\\ZELO\\ZELO.exe");
  HostDouble::SetWindowRefusesToClose(window, true);
  CreateAutomatic();
  TInstallerActionCloseApplications action;
  action.Cancel();
  EXPECT_NO_THROW(RunAction(action));
  EXPECT_EQ(HostDouble::TakeCloseRequests().size(), 1u);
  EXPECT_EQ(HostDouble::TakePauses(), std::vector<uint32_t>{2000});
}

}  // namespace
