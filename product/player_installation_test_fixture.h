// An installed player for the tests of the prepare action and the update tasks: one Windows
// user ("me") whose application data, desktop and Start menus, the system folder and the
// temporary folder all lie in the test's folder beside the installation folder "ZELO\", whose
// configuration file tells the installed version (host tests only).
#pragma once

#include <filesystem>
#include <string>

#include "platform/host_double.h"
#include "platform/shell_folders.h"
#include "product/installer_actions_test_fixture.h"

class PlayerInstallationTest : public ProductActionTest {
 protected:
  using ShellFolder = platform::ShellFolder;

  void SetUp() override {
    ProductActionTest::SetUp();
    HostDouble::SetUserName(u"me");
    HostDouble::SetShellFolder(ShellFolder::Profile, folder_.PathOf(u"Users\\me"));
    HostDouble::SetShellFolder(ShellFolder::AppData, folder_.PathOf(u"Users\\me\\Roaming"));
    HostDouble::SetShellFolder(ShellFolder::Desktop, folder_.PathOf(u"Users\\me\\Desktop"));
    HostDouble::SetShellFolder(ShellFolder::StartMenu, folder_.PathOf(u"Users\\me\\Start"));
    HostDouble::SetShellFolder(ShellFolder::CommonDesktop, folder_.PathOf(u"Public\\Desktop"));
    HostDouble::SetShellFolder(ShellFolder::CommonPrograms, folder_.PathOf(u"Public\\Programs"));
    HostDouble::SetShellFolder(ShellFolder::CommonStartMenu, folder_.PathOf(u"Public\\Start"));
    HostDouble::SetShellFolder(ShellFolder::System, folder_.PathOf(u"Windows\\system32"));
    HostDouble::SetEnvironmentValue(u"TMP", folder_.PathOf(u"Temp"));
    std::filesystem::create_directories(folder_.NativePath(u"Temp"));
    std::filesystem::create_directories(folder_.NativePath(u"ZELO"));
  }
  void TearDown() override {
    ProductActionTest::TearDown();
    HostDouble::ReleaseLocalTime();
    HostDouble::ResetEnvironment();
  }

  // The installation folder, with its trailing delimiter.
  String Dest() const { return folder_.PathOf(u"ZELO\\"); }
  // A path under the installation folder, as the test reaches it.
  static String InDest(StringView relative) { return u"ZELO\\" + String(relative); }
  // The current user's roaming application-data folder + Relative.
  static String InAppData(StringView relative) {
    return u"Users\\me\\Roaming\\" + String(relative);
  }

  // The player's configuration file in the installation folder (Name "ZELO.ini" or, before
  // 4.00, "ZELO3.ini").
  void InstallPlayer(int version, bool per_user, StringView name = u"ZELO.ini") const {
    WriteFile(InDest(name), "[System]\r\nUserMode=" + std::string(per_user ? "1" : "0") +
                                "\r\nVersion=" + std::to_string(version) + "\r\n");
  }

  // An automatic run into the installation folder, with more switches.
  TInstaller& CreateRun(StringView switches = {}) {
    TInstaller& installer = Create(u"/AUTO=\"" + Dest() + u"\" " + String(switches));
    installer.Resources().InitializeLanguages();
    return installer;
  }
};
