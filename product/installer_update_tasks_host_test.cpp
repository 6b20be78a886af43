// The update tasks against an installed player arranged in the host double: the context-menu
// libraries, the uninstall registrations, the shortcuts, the registration tool, and the
// migration of a profile from each older version.
#include "product/installer_update_tasks.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "core/installer_application_repository.h"
#include "platform/exception.h"
#include "platform/os_error.h"
#include "product/installer_profile.h"
#include "product/player_installation_test_fixture.h"
#include "support/string_list.h"

namespace {

class UpdateTaskTest : public PlayerInstallationTest {
 protected:
  void TearDown() override {
    HostDouble::RemoveLibraries();
    PlayerInstallationTest::TearDown();
  }

  static std::set<String> Entries(const TVYNStringList& list) {
    std::set<String> entries;
    for (int i = 0; i < list.Count(); ++i) entries.insert(list.Items(i));
    return entries;
  }
};

TEST_F(UpdateTaskTest, RemoveShellMenuUnregistersEachLibraryBeforeDeletingIt) {
  CreateRun();
  std::vector<String> unregistered;
  for (const StringView name : {u"System\\zelo_menu32.dll", u"System\\zelo_menu64.dll"}) {
    WriteFile(InDest(name), "MZ");
    const String path = Dest() + String(name);
    HostDouble::AddLibrary(path, {{"DllUnregisterServer", [this, path, &unregistered] {
                                     // The library is still in place while it unregisters.
                                     EXPECT_TRUE(Exists(path.substr(folder_.Path().size())));
                                     unregistered.push_back(path);
                                   }}});
  }
  TInstallerUpdateTaskRemoveShellMenu().Execute(nullptr);
  EXPECT_EQ(unregistered, (std::vector<String>{Dest() + u"System\\zelo_menu32.dll",
                                               Dest() + u"System\\zelo_menu64.dll"}));
  EXPECT_FALSE(Exists(InDest(u"System\\zelo_menu32.dll")));
  EXPECT_FALSE(Exists(InDest(u"System\\zelo_menu64.dll")));
}

TEST_F(UpdateTaskTest, RemoveShellMenuLoadsNoLibraryThatIsNotThere) {
  CreateRun();
  HostDouble::AddLibrary(Dest() + u"System\\zelo_menu64.dll",
                         {{"DllUnregisterServer", [] { FAIL() << "a missing file was loaded"; }}});
  TInstallerUpdateTaskRemoveShellMenu().Execute(nullptr);
  EXPECT_TRUE(HostDouble::TakeLibraryEvents().empty());
}

TEST_F(UpdateTaskTest, RemoveUninstallInfoOnlyTouchesRegistrationsOfThisFolder) {
  WriteFile(InDest(u"Uninstall.exe"), "MZ");
  WriteFile(u"Elsewhere\\ZELO3\\Uninstall.exe", "MZ");
  TInstallerApplicationRepository::Register(u"ZELO", Dest() + u"Uninstall.exe", u"4.51", u"", u"");
  TInstallerApplicationRepository::Register(
      u"ZELO3", folder_.PathOf(u"Elsewhere\\ZELO3\\Uninstall.exe"), u"3.60", u"", u"");
  CreateRun();

  TInstallerUpdateTaskRemoveUninstallInfo().Execute(nullptr);

  String path;
  EXPECT_FALSE(TInstallerApplicationRepository::GetInstallPath(u"ZELO", path));
  EXPECT_TRUE(TInstallerApplicationRepository::GetInstallPath(u"ZELO3", path));
  EXPECT_EQ(path, folder_.PathOf(u"Elsewhere\\ZELO3\\"));
}

TEST_F(UpdateTaskTest, RemoveShortcutsTakesTheOlderNameOnlyBelowVersion4) {
  struct Case {
    int InstalledVersion;
    bool OlderNameRemoved;
  };
  for (const Case test : {Case{3900, true}, Case{4000, false}}) {
    SCOPED_TRACE(test.InstalledVersion);
    InstallPlayer(test.InstalledVersion, true);
    for (const StringView name : {u"ZELO", u"ZELO3"}) {
      const String n(name);
      WriteFile(u"Users\\me\\Desktop\\" + n + u".lnk");
      WriteFile(u"Public\\Desktop\\" + n + u".lnk");
      WriteFile(u"Users\\me\\Start\\" + n + u"\\" + n + u".lnk");
      WriteFile(u"Public\\Programs\\" + n + u"\\Tools\\Converter.lnk");
      WriteFile(u"Public\\Start\\" + n + u"\\" + n + u".lnk");
    }
    // Not the player's, or not where the task looks: the user's own programs folder.
    WriteFile(u"Users\\me\\Desktop\\ZELO Music.lnk");
    WriteFile(u"Users\\me\\Start\\Programs\\ZELO\\ZELO.lnk");
    CreateRun();

    TInstallerUpdateTaskRemoveShortcuts().Execute(nullptr);

    for (const StringView gone :
         {u"Users\\me\\Desktop\\ZELO.lnk", u"Public\\Desktop\\ZELO.lnk", u"Users\\me\\Start\\ZELO",
          u"Public\\Programs\\ZELO", u"Public\\Start\\ZELO"}) {
      EXPECT_FALSE(Exists(gone)) << StringToUtf8(gone);
    }
    for (const StringView older :
         {u"Users\\me\\Desktop\\ZELO3.lnk", u"Public\\Desktop\\ZELO3.lnk",
          u"Users\\me\\Start\\ZELO3", u"Public\\Programs\\ZELO3", u"Public\\Start\\ZELO3"}) {
      EXPECT_EQ(Exists(older), !test.OlderNameRemoved) << StringToUtf8(older);
    }
    EXPECT_TRUE(Exists(u"Users\\me\\Desktop\\ZELO Music.lnk"));
    EXPECT_TRUE(Exists(u"Users\\me\\Start\\Programs\\ZELO\\ZELO.lnk"));
  }
}

TEST_F(UpdateTaskTest, RemoveShortcutsAlsoTakesTheProductsOwnName) {
  struct Case {
    const char* ProductName;
    const char16_t* Shortcut;  // made under the product's name, as "$NAME" makes them
    bool Removed;
  };
  for (const Case test : {Case{"Hello", u"Public\\Programs\\Hello\\Hello.lnk", true},
                          Case{"Hello", u"Public\\Desktop\\Hello.lnk", true},
                          // Names that would reach the Start menu itself or outside it.
                          Case{"..", u"Public\\Programs\\Other\\Other.lnk", false},
                          Case{"..\\Programs", u"Public\\Programs\\Other\\Other.lnk", false}}) {
    SCOPED_TRACE(test.ProductName);
    ExtendPackage(u"SETUP",
                  {{u"Install.xml",
                    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Install><product>"
                    "<Settings><Setting name=\"ProductName\" value=\"" +
                        std::string(test.ProductName) + "\"/></Settings></product></Install>"}});
    InstallPlayer(5000, true);
    WriteFile(test.Shortcut);
    WriteFile(u"Public\\Programs\\ZELO\\ZELO.lnk");
    CreateRun();

    TInstallerUpdateTaskRemoveShortcuts().Execute(nullptr);

    EXPECT_EQ(Exists(test.Shortcut), !test.Removed);
    EXPECT_TRUE(Exists(u"Public\\Programs"));
    EXPECT_FALSE(Exists(u"Public\\Programs\\ZELO"));
  }
}

TEST_F(UpdateTaskTest, RemoveShortcutsPassesOverFoldersTheShellCannotName) {
  WriteFile(u"Public\\Desktop\\ZELO.lnk");
  HostDouble::FailShellFolder(ShellFolder::Desktop);
  HostDouble::FailShellFolder(ShellFolder::StartMenu);
  CreateRun();
  EXPECT_NO_THROW(TInstallerUpdateTaskRemoveShortcuts().Execute(nullptr));
  EXPECT_FALSE(Exists(u"Public\\Desktop\\ZELO.lnk"));
}

TEST_F(UpdateTaskTest, RemoveFromRegistryRunsTheToolQuotedThenUnregisters) {
  // A blank in the folder: unquoted, the system would try "...\Program.exe" first.
  std::filesystem::create_directories(folder_.NativePath(u"Program Files\\ZELO"));
  WriteFile(u"Program Files\\ZELO\\Uninstall.exe", "MZ");
  const String dest = folder_.PathOf(u"Program Files\\ZELO\\");
  TInstallerApplicationRepository::Register(u"ZELO", dest + u"Uninstall.exe", u"5.0", u"", u"");
  Create(u"/AUTO=\"" + dest + u"\"");

  TInstallerUpdateTaskRemoveFromRegistry().Execute(nullptr);

  // Started even though there is no tool in the folder; its failure is not looked at.
  EXPECT_EQ(HostDouble::TakeStartedPrograms(),
            std::vector<String>{u"\"" + dest + u"Elevator.exe\" /REG=U"});
  String path;
  EXPECT_FALSE(TInstallerApplicationRepository::GetInstallPath(u"ZELO", path));
}

// A profile of the installed version and the one the new version uses, both of user "me".
class UpdateConfigsTest : public UpdateTaskTest {
 protected:
  TInstallerProfileInfo Profile(StringView old_folder, StringView new_folder) const {
    TInstallerProfileInfo profile;
    profile.Name = u"me";
    profile.OldPath = folder_.PathOf(InAppData(old_folder));
    profile.NewPath = folder_.PathOf(InAppData(new_folder));
    return profile;
  }
  String InProfile(StringView folder, StringView name) const {
    return folder_.PathOf(InAppData(String(folder) + u"\\" + String(name)));
  }
};

TEST_F(UpdateConfigsTest, From360TheOldProfileIsCopiedAndRenamedUnderTheNewName) {
  InstallPlayer(3600, true, u"ZELO3.ini");
  for (const StringView name :
       {u"ZELO3.ini", u"ZELO3-cat.db", u"zelo3_menu.ini", u"ZELO3ac.ini", u"ZELO3ate.ini",
        u"ZELO3-SkinLayout.ini", u"ZELO3.bak", u"ZELO3ac.bak", u"AlbumArts.db", u"AlbumArtCache.db",
        u"AlbumArtsForURLs.db", u"Playlists\\Party.pls"}) {
    WriteFile(InAppData(u"ZELO3\\" + String(name)), StringToUtf8(name));
  }
  WriteFile(InDest(u"Skins\\Ember Noir.qsk4"));
  CreateRun();
  TVYNStringList list;
  list.Add(InProfile(u"ZELO3", u"ZELO3.ini"));
  list.Add(InProfile(u"ZELO", u"stale.ini"));  // listed before the copy: spared

  const TInstallerProfileInfo profile = Profile(u"ZELO3\\", u"ZELO\\");
  TInstallerUpdateTaskUpdateConfigs(profile).Execute(&list);

  EXPECT_TRUE(Exists(InDest(u"ZELO.ini")));
  EXPECT_FALSE(Exists(InDest(u"ZELO3.ini")));
  const std::pair<StringView, StringView> renamed[] = {
      {u"ZELO3.ini", u"ZELO.ini"},
      {u"ZELO3-cat.db", u"ZELO-cat.db"},
      {u"zelo3_menu.ini", u"ZELO-ContextMenu.ini"},
      {u"ZELO3ac.ini", u"ZELOac.ini"},
      {u"ZELO3ate.ini", u"ZELOate.ini"},
      {u"AlbumArtsForURLs.db", u"AlbumArts.Custom.db"}};
  for (const auto& [old_name, new_name] : renamed) {
    EXPECT_EQ(folder_.ReadFile(InAppData(u"ZELO\\" + String(new_name))), StringToUtf8(old_name));
    EXPECT_FALSE(Exists(InAppData(u"ZELO\\" + String(old_name)))) << StringToUtf8(old_name);
  }
  EXPECT_EQ(folder_.ReadFile(InAppData(u"ZELO\\Playlists\\Party.pls")), "Playlists\\Party.pls");
  // The old profile stays as it was: the prepare action deletes it with its list.
  EXPECT_TRUE(Exists(InAppData(u"ZELO3\\ZELO3.ini")));

  const std::set<String> expected = {
      InProfile(u"ZELO3", u"ZELO3.ini"),       InProfile(u"ZELO", u"ZELO3-SkinLayout.ini"),
      InProfile(u"ZELO", u"ZELO3.bak"),        InProfile(u"ZELO", u"ZELO3ac.bak"),
      Dest() + u"Skins\\Ember Noir.qsk4",      InProfile(u"ZELO", u"AlbumArts.db"),
      InProfile(u"ZELO", u"AlbumArtCache.db"),
  };
  EXPECT_EQ(Entries(list), expected);
}

TEST_F(UpdateConfigsTest, From451OnlyTheCoverCachesChange) {
  InstallPlayer(4510, true);
  for (const StringView name :
       {u"ZELO.ini", u"ZELO3.bak", u"AlbumArts.db", u"AlbumArtCache.db", u"AlbumArtsForURLs.db"}) {
    WriteFile(InAppData(u"ZELO\\" + String(name)), StringToUtf8(name));
  }
  WriteFile(InDest(u"Skins\\Ember Noir.qsk4"));
  CreateRun();
  TVYNStringList list;
  list.Add(InProfile(u"ZELO", u"ZELO.ini"));
  list.Add(Dest() + u"ZELO.exe");

  const TInstallerProfileInfo profile = Profile(u"ZELO\\", u"ZELO\\");
  TInstallerUpdateTaskUpdateConfigs(profile).Execute(&list);

  EXPECT_EQ(Entries(list),
            (std::set<String>{Dest() + u"ZELO.exe", InProfile(u"ZELO", u"AlbumArts.db"),
                              InProfile(u"ZELO", u"AlbumArtCache.db")}));
  EXPECT_EQ(folder_.ReadFile(InAppData(u"ZELO\\AlbumArts.Custom.db")), "AlbumArtsForURLs.db");
  EXPECT_FALSE(Exists(InAppData(u"ZELO\\AlbumArtsForURLs.db")));
}

TEST_F(UpdateConfigsTest, From502TheProfileIsOnlySpared) {
  InstallPlayer(5020, true);
  for (const StringView name :
       {u"ZELO.ini", u"AlbumArts.db", u"AlbumArtCache.db", u"AlbumArtsForURLs.db"}) {
    WriteFile(InAppData(u"ZELO\\" + String(name)));
  }
  CreateRun();
  TVYNStringList list;
  list.Add(InProfile(u"ZELO", u"ZELO.ini"));
  list.Add(InProfile(u"zelo", u"AlbumArts.db"));  // another spelling of the same folder

  const TInstallerProfileInfo profile = Profile(u"ZELO\\", u"ZELO\\");
  TInstallerUpdateTaskUpdateConfigs(profile).Execute(&list);

  EXPECT_EQ(list.Count(), 0);
  EXPECT_TRUE(Exists(InAppData(u"ZELO\\AlbumArtsForURLs.db")));
}

TEST_F(UpdateConfigsTest, AConfigurationThatCannotTakeItsNewNameStopsTheMigration) {
  // Both names in the installation folder: the newer file describes it, the older cannot be
  // renamed over it.
  InstallPlayer(3600, true, u"ZELO.ini");
  InstallPlayer(3600, true, u"ZELO3.ini");
  WriteFile(InAppData(u"ZELO3\\ZELO3.ini"));
  CreateRun();
  TVYNStringList list;
  const TInstallerProfileInfo profile = Profile(u"ZELO3\\", u"ZELO\\");
  try {
    TInstallerUpdateTaskUpdateConfigs(profile).Execute(&list);
    FAIL() << "no error";
  } catch (const EOSError& error) {
    EXPECT_EQ(error.ErrorCode(), platform::ErrorAlreadyExists);
  }
  EXPECT_TRUE(Exists(InDest(u"ZELO3.ini")));
}

TEST_F(UpdateConfigsTest, ACoverCacheRenameThatFailsIsIgnored) {
  InstallPlayer(4510, true);
  WriteFile(InAppData(u"ZELO\\AlbumArtsForURLs.db"), "for URLs");
  WriteFile(InAppData(u"ZELO\\AlbumArts.Custom.db"), "custom");
  CreateRun();
  TVYNStringList list;
  const TInstallerProfileInfo profile = Profile(u"ZELO\\", u"ZELO\\");
  EXPECT_NO_THROW(TInstallerUpdateTaskUpdateConfigs(profile).Execute(&list));
  EXPECT_EQ(folder_.ReadFile(InAppData(u"ZELO\\AlbumArts.Custom.db")), "custom");
  EXPECT_EQ(folder_.ReadFile(InAppData(u"ZELO\\AlbumArtsForURLs.db")), "for URLs");
}

}  // namespace
