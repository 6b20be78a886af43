// Removing the player's integration: the three tasks, in order, and the progress they make.
#include "product/installer_action_uninstall_integration.h"

#include <gtest/gtest.h>

#include "core/installer_application_repository.h"
#include "product/installer_actions_test_fixture.h"

namespace {

class UninstallIntegrationTest : public ProductActionTest {
 protected:
  void SetUp() override {
    ProductActionTest::SetUp();
    ExtendPackage(u"PRODUCT", {{u"Uninstall.ini", "[Uninstall]\r\nCount=0\r\n"}});
  }
};

TEST_F(UninstallIntegrationTest, RemovesTheShellMenuTheShortcutsThenTheRegistration) {
  const TInstallerActionUninstallIntegration action;
  ASSERT_EQ(action.TaskCount(), 3);
  EXPECT_NE(dynamic_cast<TInstallerUpdateTaskRemoveShellMenu*>(&action.Tasks(0)), nullptr);
  EXPECT_NE(dynamic_cast<TInstallerUpdateTaskRemoveShortcuts*>(&action.Tasks(1)), nullptr);
  EXPECT_NE(dynamic_cast<TInstallerUpdateTaskRemoveFromRegistry*>(&action.Tasks(2)), nullptr);
}

TEST_F(UninstallIntegrationTest, RunsEveryTaskAndReportsEachOneDone) {
  TInstaller& installer = Create(u"/AUTO");
  ASSERT_EQ(installer.Mode(), imUninstall);
  installer.SetDestPath(folder_.Path());
  TInstallerApplicationRepository::Register(u"ZELO", folder_.PathOf(u"Uninstall.exe"), u"5.0",
                                            u"ZELO Team", u"https://zelo.example/");
  TInstallerActionUninstallIntegration action;
  RunAction(action);
  EXPECT_EQ(progress_, (std::vector<int>{33, 67, 100}));
  // The last task: the player's tool undoes its registrations, then the entry goes.
  const std::vector<String> started = HostDouble::TakeStartedPrograms();
  ASSERT_EQ(started.size(), 1u);
  EXPECT_NE(started[0].find(folder_.PathOf(u"Elevator.exe")), String::npos);
  EXPECT_TRUE(started[0].ends_with(u" /REG=U"));
  String path;
  EXPECT_FALSE(TInstallerApplicationRepository::GetInstallPath(u"ZELO", path));
}

}  // namespace
