// The player's settings file as the configuration action leaves it.
#include "product/installer_action_config.h"

#include <gtest/gtest.h>

#include "core/installer_errors.h"
#include "platform/file_attributes.h"
#include "platform/os_error.h"
#include "product/installer_actions_test_fixture.h"
#include "support/ini_file.h"

namespace {

class ConfigTest : public ProductActionTest {
 protected:
  // The settings file after the action, in an installation made with Switches.
  TVYNIniFile& RunConfig(StringView switches, std::string_view existing_file = {}) {
    TInstaller& installer = CreateAutomatic(switches);
    installer.Resources().InitializeLanguages();
    if (!existing_file.empty()) WriteFile(u"ZELO.ini", existing_file);
    installer.OptionStore().WriteSectionText(u"Integration",
                                             u"ShortcutDesktop=0\r\nIntegrateToWindows=1\r\n");
    TInstallerActionConfig action;
    RunAction(action);
    result_.LoadFromFile(folder_.PathOf(u"ZELO.ini"));
    return result_;
  }

  TVYNIniFile result_;
};

TEST_F(ConfigTest, SystemHoldsExactlyTheModeTheLanguageAndTheVersion) {
  const TVYNIniFile& config = RunConfig(
      {},
      "[System]\r\nVersion=4510\r\nUserMode=0\r\nSkin=Dark\r\n\r\n[Player]\r\nVolume=80\r\n"
      "\r\n[Integration]\r\nShortcutStartMenu=1\r\n");
  EXPECT_EQ(config.ReadSectionText(u"System"),
            u"UserMode=1\r\nDefaultLang=English.lng\r\nVersion=5000\r\n");
  EXPECT_EQ(config.ReadSectionText(u"Player"), u"Volume=80\r\n");
  // Replaced as a whole by the choices of this run.
  EXPECT_EQ(config.ReadSectionText(u"Integration"),
            u"ShortcutDesktop=0\r\nIntegrateToWindows=1\r\n");
}

TEST_F(ConfigTest, APortableInstallationKeepsItsSettingsBesideThePlayer) {
  const TVYNIniFile& config = RunConfig(u"/PORTABLE");
  EXPECT_EQ(config.ReadString(u"System", u"UserMode", u""), u"0");
}

TEST_F(ConfigTest, ARunWithoutIntegrationChoicesLeavesNoIntegrationSection) {
  TInstaller& installer = CreateAutomatic();
  WriteFile(u"ZELO.ini", "[Integration]\r\nShortcutDesktop=1\r\n");
  installer.OptionStore().EraseSection(u"Integration");
  TInstallerActionConfig action;
  RunAction(action);
  TVYNIniFile config(folder_.PathOf(u"ZELO.ini"));
  EXPECT_FALSE(config.ValueExists(u"Integration", u"ShortcutDesktop"));
  EXPECT_TRUE(config.ValueExists(u"System", u"Version"));
}

// A full disk while the settings are saved: the run hears of it, and the settings file of the
// installation stays whole, as it was, with nothing half-written beside it.
TEST_F(ConfigTest, AFailedSaveFailsTheRunAndLeavesTheOldFileWhole) {
  TInstaller& installer = CreateAutomatic();
  installer.Resources().InitializeLanguages();
  const std::string old_settings = "[System]\r\nVersion=4510\r\n[Player]\r\nVolume=80\r\n";
  WriteFile(u"ZELO.ini", old_settings);
  HostDouble::FailFileOperation(HostDouble::FileOperation::Write, 1, platform::ErrorDiskFull);
  TInstallerActionConfig action;
  EXPECT_THROW(RunAction(action), EInstallerInstallError);
  HostDouble::ClearFileFailures();
  EXPECT_EQ(folder_.ReadFile(u"ZELO.ini"), old_settings);
  for (const auto& entry : std::filesystem::directory_iterator(folder_.NativePath())) {
    EXPECT_EQ(entry.path().filename(), "ZELO.ini");
  }
}

TEST_F(ConfigTest, AReadOnlySettingsFileIsStillUpdated) {
  TInstaller& installer = CreateAutomatic();
  installer.Resources().InitializeLanguages();
  WriteFile(u"ZELO.ini", "[System]\r\nVersion=4510\r\n");
  ASSERT_TRUE(platform::SetFileAttributeFlags(folder_.PathOf(u"ZELO.ini"),
                                              platform::FileAttributeReadOnly));
  TInstallerActionConfig action;
  RunAction(action);
  TVYNIniFile config(folder_.PathOf(u"ZELO.ini"));
  EXPECT_EQ(config.ReadString(u"System", u"Version", u""), u"5000");
}

}  // namespace
