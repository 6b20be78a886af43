// The player's product information: what an existing installation's configuration says, where
// an installation is found, and which actions and pages each run has.
#include "product/product_info_zelo.h"

#include <gtest/gtest.h>

#include "core/installer_application_repository.h"
#include "core/installer_resources.h"
#include "core/installer_test_fixture.h"
#include "tests/support/case_title.h"

namespace {

using Kind = TZELOActionKind;

class ZELOTest : public InstallerTest {
 protected:
  void SetUp() override {
    InstallerTest::SetUp();
    ProductInfoClass = &CreateProductInfo<TProductInfoZELO>;
    TInstallerApplicationRepository::Unregister(u"ZELO");
    TInstallerApplicationRepository::Unregister(u"ZELO3");
  }
  void TearDown() override {
    TInstallerApplicationRepository::Unregister(u"ZELO");
    TInstallerApplicationRepository::Unregister(u"ZELO3");
    InstallerTest::TearDown();
  }
  TProductInfoZELO& Product() { return static_cast<TProductInfoZELO&>(installer_->ProductInfo()); }
  void WriteConfig(StringView name, std::string_view text) { folder_.WriteFile(name, text); }
  // An installation in Folder (of the test's folder) registered under Name.
  void RegisterInstallation(StringView name, StringView folder) {
    const String uninstaller = String(folder) + u"Uninstall.exe";
    folder_.WriteFile(uninstaller, "MZ");
    ASSERT_TRUE(TInstallerApplicationRepository::Register(name, folder_.PathOf(uninstaller), u"5.0",
                                                          u"ZELO Team", u""));
  }
};

TEST_F(ZELOTest, ZeloIniDescribesTheInstallationAndItsIntegrationChoicesBecomeTheRunsOwn) {
  WriteConfig(u"ZELO.ini",
              "[System]\r\nUserMode=1\r\nVersion=4510\r\n\r\n[Integration]\r\n"
              "ShortcutDesktop=0\r\nAssociateWithFiles=1\r\n");
  WriteConfig(u"ZELO3.ini", "[System]\r\nVersion=3600\r\n");
  CreateAutomatic();
  EXPECT_EQ(Product().GetInstalledVersion(), 4510);
  EXPECT_TRUE(Product().CanUpdate());
  EXPECT_FALSE(Product().IsPortable());
  EXPECT_TRUE(installer_->HasOption(ioUpdate));
  EXPECT_EQ(installer_->OptionStore().ReadSectionText(u"Integration"),
            u"ShortcutDesktop=0\r\nAssociateWithFiles=1\r\n");
}

TEST_F(ZELOTest, TheOlderConfigurationFileCountsWhenItIsTheOnlyOne) {
  WriteConfig(u"ZELO3.ini", "[System]\r\nUserMode=0\r\nVersion=3600\r\n");
  CreateAutomatic();
  EXPECT_EQ(Product().GetInstalledVersion(), 3600);
  EXPECT_TRUE(Product().IsPortable());
  EXPECT_TRUE(installer_->HasOption(ioPortable));
}

TEST_F(ZELOTest, WithoutConfigurationNothingIsInstalledAndTheChoicesAreEmptied) {
  CreateAutomatic();
  installer_->OptionStore().WriteString(u"Integration", u"ShortcutDesktop", u"1");
  installer_->SetDestPath(folder_.PathOf(u"elsewhere"));
  EXPECT_EQ(Product().GetInstalledVersion(), 0);
  EXPECT_FALSE(Product().CanUpdate());
  EXPECT_FALSE(Product().IsPortable());
  EXPECT_EQ(installer_->OptionStore().ReadSectionText(u"Integration"), u"");
}

TEST_F(ZELOTest, UpdatableVersionsAre3500To5099) {
  CreateAutomatic();
  const std::pair<int, bool> cases[] = {{3499, false}, {3500, true}, {5099, true}, {5100, false}};
  for (const auto& [version, updatable] : cases) {
    WriteConfig(u"v\\ZELO.ini", "[System]\r\nVersion=" + std::to_string(version) + "\r\n");
    installer_->SetDestPath(folder_.PathOf(u"other"));
    installer_->SetDestPath(folder_.PathOf(u"v"));
    EXPECT_EQ(Product().CanUpdate(), updatable) << version;
  }
}

TEST_F(ZELOTest, TheRegistrationTellsWhereThePlayerIsInstalled) {
  RegisterInstallation(u"ZELO", u"Installed\\");
  String path;
  EXPECT_TRUE(TProductInfoZELO::FindInstalledPath(path));
  EXPECT_EQ(path, folder_.PathOf(u"Installed\\"));
  // With no switches, the installer proposes that folder.
  EXPECT_EQ(Create(u"").DestPath(), folder_.PathOf(u"Installed\\"));
}

TEST_F(ZELOTest, TheOlderRegistrationCountsOnlyWithoutTheCurrentOne) {
  RegisterInstallation(u"ZELO3", u"Old\\");
  String path;
  ASSERT_TRUE(TProductInfoZELO::FindInstalledPath(path));
  EXPECT_EQ(path, folder_.PathOf(u"Old\\"));
  RegisterInstallation(u"ZELO", u"New\\");
  ASSERT_TRUE(TProductInfoZELO::FindInstalledPath(path));
  EXPECT_EQ(path, folder_.PathOf(u"New\\"));
}

TEST_F(ZELOTest, NoInstallationFoundGivesTheProgramFilesFolder) {
  String path;
  EXPECT_FALSE(TProductInfoZELO::FindInstalledPath(path));
  TInstaller& installer = Create(u"");
  EXPECT_EQ(installer.DestPath(), installer.Resources().ProgramFilesFolder() + u"ZELO\\");
}

struct ActionsCase {
  const char* Title;
  String Switches;
  std::string_view Config;
  std::vector<Kind> Expected;
};

class ZELOActions : public ZELOTest, public testing::WithParamInterface<ActionsCase> {};

TEST_P(ZELOActions, FollowTheModeAndTheOptions) {
  if (!GetParam().Config.empty()) WriteConfig(u"ZELO.ini", GetParam().Config);
  CreateAutomatic(GetParam().Switches);
  EXPECT_EQ(Product().ActionKinds(), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ZELOActions,
    testing::Values(ActionsCase{"FreshInstallation",
                                u"",
                                "",
                                {Kind::CloseApplications, Kind::Prepare, Kind::Extract,
                                 Kind::Config, Kind::Integrate, Kind::Shortcuts,
                                 Kind::UpdateShellCache}},
                    ActionsCase{"PortableHasNoIntegration",
                                u"/PORTABLE",
                                "",
                                {Kind::CloseApplications, Kind::Prepare, Kind::Extract,
                                 Kind::Config, Kind::Shortcuts, Kind::UpdateShellCache}},
                    ActionsCase{"UpdateHasNoIntegrationAndNoShortcuts",
                                u"",
                                "[System]\r\nUserMode=1\r\nVersion=4510\r\n",
                                {Kind::CloseApplications, Kind::Prepare, Kind::Extract,
                                 Kind::Config, Kind::UpdateShellCache}}),
    CaseTitle());

TEST_F(ZELOTest, EveryStepIsRunByItsOwnClass) {
  CreateAutomatic();
  std::vector<String> classes;
  Product().PopulateActions(
      [&](const TInstallerActionClass& action_class) { classes.emplace_back(action_class.Name); });
  EXPECT_EQ(classes,
            (std::vector<String>{u"TInstallerActionCloseApplications", u"TInstallerActionPrepare",
                                 u"TInstallerActionExtract", u"TInstallerActionConfig",
                                 u"TInstallerActionIntegrate", u"TInstallerActionShortcuts",
                                 u"TInstallerActionUpdateShellCache"}));
}

TEST_F(ZELOTest, PagesOfAnInstallation) {
  CreateAutomatic();
  std::vector<String> pages;
  Product().PopulatePages([&](StringView page) { pages.emplace_back(page); });
  EXPECT_EQ(pages, (std::vector<String>{u"TInstallerPageWelcome", u"TInstallerPageLicense",
                                        u"TInstallerPageSetup", u"TInstallerPageIntegration",
                                        u"TInstallerPageReadyToInstall"}));
}

}  // namespace
