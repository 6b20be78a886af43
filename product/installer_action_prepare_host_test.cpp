// The prepare action against installed players arranged in the host double: what the backup
// archive holds, what an update keeps, pruning of old archives and obsolete plug-ins, the
// refusals and failures that must leave the previous installation untouched, files in use, and
// the summary lines.
#include "product/installer_action_prepare.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/installer_application_repository.h"
#include "core/installer_errors.h"
#include "core/installer_summary_builder.h"
#include "platform/change_observer.h"
#include "platform/exception.h"
#include "platform/os_error.h"
#include "product/player_installation_test_fixture.h"
#include "support/zip_test_reader.h"

namespace {

constexpr platform::LocalTime BackupTime = {2024, 3, 5, 14, 7, 9, 0};
// The test product's version text is "5.0".
constexpr char16_t ArchiveName[] = u"z Before install 5.0 [2024.03.05 14-07-09].zip";

constexpr char EnglishTexts[] =
    "[File]\r\nName=English\r\nLangId=1033\r\nFamily=EN\r\n"
    "[Common]\r\nE3=The folder %s could not be created.\r\nA1=Saving a backup...\r\n"
    "A3=Removing old files...\r\nA5=Updating settings...\r\n"
    "[PageSetup]\r\nTitle=Installation type\r\nLB1=Destination folder:\r\nCB1=Update\r\n"
    "CB2=Standard\r\nCB3=Portable\r\nCB4=Back up the previous version\r\n"
    "W3=The installed version will be replaced\r\n";

class PrepareActionTest : public PlayerInstallationTest {
 protected:
  void SetUp() override {
    PlayerInstallationTest::SetUp();
    ExtendPackage(u"SETUP", {{u"English.lng", EnglishTexts}});
    HostDouble::FixLocalTime(BackupTime);
  }

  // Runs the prepare action of a run with Switches, as the worker would, once Arrange (when
  // given) has changed the world after the installer object read it; the status texts it showed
  // are kept for Statuses.
  void RunPrepare(StringView switches = {}, const std::function<void()>& arrange = nullptr) {
    TInstaller& installer = CreateRun(switches);
    if (arrange) arrange();
    installer.AddListener(&listener_);
    TInstallerActionPrepare action;
    RunAction(action);
    installer.RemoveListener(&listener_);
  }
  // RunPrepare that must fail with an exception of class Error; its message.
  template <class Error>
  String FailingPrepare(StringView switches = {}, const std::function<void()>& arrange = nullptr) {
    try {
      RunPrepare(switches, arrange);
    } catch (const Error& error) {
      return error.Message();
    }
    ADD_FAILURE() << "no error";
    return {};
  }

  std::vector<String> Statuses() const {
    std::vector<String> texts;
    for (const auto& record : listener_.Records) {
      if (record.Code == ncStatusText) texts.push_back(record.Text);
    }
    return texts;
  }

  // The backup of this run: entry names and contents, in archive order.
  std::vector<std::pair<std::string, std::string>> Archive() const {
    std::vector<std::pair<std::string, std::string>> entries;
    for (const ZipTestEntry& entry :
         ReadZipEntries(folder_.ReadFile(InDest(u"!Backup\\" + String(ArchiveName))))) {
      EXPECT_EQ(entry.Method, 8u) << entry.Name;
      entries.emplace_back(entry.Name, entry.Content);
    }
    return entries;
  }
  // The names in the backup folder.
  std::set<String> Backups() const {
    std::set<String> names;
    if (!Exists(InDest(u"!Backup"))) return names;
    for (const auto& entry :
         std::filesystem::directory_iterator(folder_.NativePath(InDest(u"!Backup")))) {
      names.insert(Utf8ToString(entry.path().filename().string()));
    }
    return names;
  }
  void WriteFiles(std::initializer_list<StringView> relative_names) const {
    for (const StringView name : relative_names) WriteFile(name, StringToUtf8(name));
  }

  RecordingListener listener_;
};

TEST_F(PrepareActionTest, AReinstallSavesTheInstallationAndProfilesThenDeletesThem) {
  // 3.40 cannot be updated: everything is replaced.
  InstallPlayer(3400, true);
  WriteFiles({InDest(u"ZELO.exe"), InDest(u"Plugins\\Output.dll"), InDest(u"Skins\\Noir.qsk4"),
              InDest(u"UpdateInstaller.exe"), InAppData(u"ZELO3\\ZELO3.ini"),
              InAppData(u"ZELO3\\AlbumArts.db"), InAppData(u"ZELO3\\Cache\\AlbumArts.cache"),
              InAppData(u"ZELO3\\Playlists\\Party.pls"), InAppData(u"Other\\keep.txt")});

  RunPrepare();

  const std::vector<std::pair<std::string, std::string>> expected = {
      {"Profiles/me/ZELO3.ini", "Users\\me\\Roaming\\ZELO3\\ZELO3.ini"},
      {"Profiles/me/Playlists/Party.pls", "Users\\me\\Roaming\\ZELO3\\Playlists\\Party.pls"},
      {"Program/ZELO.exe", "ZELO\\ZELO.exe"},
      {"Program/ZELO.ini", "[System]\r\nUserMode=1\r\nVersion=3400\r\n"},
      {"Program/Plugins/Output.dll", "ZELO\\Plugins\\Output.dll"},
      {"Program/Skins/Noir.qsk4", "ZELO\\Skins\\Noir.qsk4"},
  };
  EXPECT_EQ(Archive(), expected);

  // Everything saved, and the caches that were not, is gone with the folders that held it.
  for (const StringView gone :
       {InDest(u"ZELO.exe"), InDest(u"ZELO.ini"), InDest(u"Plugins"), InDest(u"Skins"),
        InDest(u"UpdateInstaller.exe"), InAppData(u"ZELO3")}) {
    EXPECT_FALSE(Exists(gone)) << StringToUtf8(gone);
  }
  EXPECT_TRUE(Exists(InAppData(u"Other\\keep.txt")));
  EXPECT_EQ(Backups(), std::set<String>{ArchiveName});
  EXPECT_EQ(Statuses(), (std::vector<String>{u"Saving a backup...", u"Updating settings...",
                                             u"Removing old files..."}));
}

TEST_F(PrepareActionTest, APortableInstallationIsSavedAsItLies) {
  InstallPlayer(3400, false);
  WriteFiles({InDest(u"ZELO.exe"), InDest(u"Profile\\ZELO.ini")});
  RunPrepare(u"/PORTABLE");
  std::vector<std::string> names;
  for (const auto& entry : Archive()) names.push_back(entry.first);
  EXPECT_EQ(names, (std::vector<std::string>{"ZELO.exe", "ZELO.ini", "Profile/ZELO.ini"}));
  EXPECT_FALSE(Exists(InDest(u"Profile")));
}

TEST_F(PrepareActionTest, AnUpdateKeepsAddInsAndTheProfileButSavesThemToo) {
  InstallPlayer(4510, true);
  WriteFiles({InDest(u"ZELO.exe"), InDest(u"System\\Core.dll"), InDest(u"Plugins\\Output.dll"),
              InDest(u"Icons\\Note.ico"), InDest(u"System\\Data\\Genres.dat"),
              InDest(u"System\\Encoders\\lame.exe"), InDest(u"Skins\\Noir.qsk4"),
              InAppData(u"ZELO\\ZELO.ini"), InAppData(u"ZELO\\AlbumArts.db"),
              InAppData(u"ZELO\\AlbumArtCache.db"), InAppData(u"ZELO\\AlbumArtsForURLs.db")});

  RunPrepare();

  std::set<std::string> saved;
  for (const auto& entry : Archive()) saved.insert(entry.first);
  EXPECT_EQ(saved,
            (std::set<std::string>{"Profiles/me/ZELO.ini", "Profiles/me/AlbumArtsForURLs.db",
                                   "Program/ZELO.exe", "Program/ZELO.ini", "Program/Icons/Note.ico",
                                   "Program/Plugins/Output.dll", "Program/Skins/Noir.qsk4",
                                   "Program/System/Core.dll", "Program/System/Data/Genres.dat",
                                   "Program/System/Encoders/lame.exe"}));
  for (const StringView kept :
       {InDest(u"Plugins\\Output.dll"), InDest(u"Icons\\Note.ico"),
        InDest(u"System\\Data\\Genres.dat"), InDest(u"System\\Encoders\\lame.exe"),
        InDest(u"Skins\\Noir.qsk4"), InAppData(u"ZELO\\ZELO.ini"),
        InAppData(u"ZELO\\AlbumArts.Custom.db")}) {
    EXPECT_TRUE(Exists(kept)) << StringToUtf8(kept);
  }
  for (const StringView gone :
       {InDest(u"ZELO.exe"), InDest(u"System\\Core.dll"), InAppData(u"ZELO\\AlbumArts.db"),
        InAppData(u"ZELO\\AlbumArtCache.db"), InAppData(u"ZELO\\AlbumArtsForURLs.db")}) {
    EXPECT_FALSE(Exists(gone)) << StringToUtf8(gone);
  }
}

TEST_F(PrepareActionTest, PluginsBelongToTheProgramBefore360) {
  for (const int version : {3500, 3600}) {
    SCOPED_TRACE(version);
    InstallPlayer(version, true);
    WriteFile(InDest(u"Plugins\\Output.dll"));
    RunPrepare();
    EXPECT_EQ(Exists(InDest(u"Plugins\\Output.dll")), version >= 3600);
  }
}

TEST_F(PrepareActionTest, UpdateFrom360MovesTheProfileToTheNewFolder) {
  InstallPlayer(3600, true, u"ZELO3.ini");
  WriteFiles({InDest(u"ZELO.exe"), InAppData(u"ZELO3\\ZELO3.ini"),
              InAppData(u"ZELO3\\ZELO3-cat.db"), InAppData(u"ZELO3\\ZELO3.bak")});

  RunPrepare();

  EXPECT_EQ(folder_.ReadFile(InAppData(u"ZELO\\ZELO.ini")), "Users\\me\\Roaming\\ZELO3\\ZELO3.ini");
  EXPECT_TRUE(Exists(InAppData(u"ZELO\\ZELO-cat.db")));
  EXPECT_FALSE(Exists(InAppData(u"ZELO\\ZELO3.bak")));
  EXPECT_FALSE(Exists(InAppData(u"ZELO3"))) << "the old profile is deleted at the end";
  // The installation's configuration took its new name and stays for the new version.
  EXPECT_TRUE(Exists(InDest(u"ZELO.ini")));
  EXPECT_FALSE(Exists(InDest(u"ZELO3.ini")));
  EXPECT_FALSE(Exists(InDest(u"ZELO.exe")));
  std::set<std::string> saved;
  for (const auto& entry : Archive()) saved.insert(entry.first);
  EXPECT_TRUE(saved.count("Profiles/me/ZELO3.ini"));
}

TEST_F(PrepareActionTest, AFailedRenameStopsTheRunBeforeAnyDeletion) {
  InstallPlayer(3600, true, u"ZELO.ini");
  InstallPlayer(3600, true, u"ZELO3.ini");
  WriteFiles({InDest(u"ZELO.exe"), InAppData(u"ZELO3\\ZELO3.ini")});
  FailingPrepare<EOSError>();
  for (const StringView kept : {InDest(u"ZELO.exe"), InDest(u"ZELO3.ini"), InDest(u"ZELO.ini"),
                                InAppData(u"ZELO3\\ZELO3.ini")}) {
    EXPECT_TRUE(Exists(kept)) << StringToUtf8(kept);
  }
}

TEST_F(PrepareActionTest, ThreeArchivesAreKeptWithThisRunsAmongThem) {
  struct Case {
    const char* Title;
    StringView Version;  // of the archives already there
    StringView Switches;
    std::set<String> Remaining;
  };
  const auto archive = [](StringView version, int day) {
    return u"z Before install " + String(version) + u" [2020.01.0" +
           Utf8ToString(std::to_string(day)) + u" 10-00-00].zip";
  };
  const Case cases[] = {
      {"older archives sort first",
       u"4.51",
       u"",
       {archive(u"4.51", 4), archive(u"4.51", 5), ArchiveName}},
      // This run's archive sorts first ("5.0" before "9.0") yet must not be the one pruned.
      {"this run's archive sorts first",
       u"9.0",
       u"",
       {ArchiveName, archive(u"9.0", 4), archive(u"9.0", 5)}},
      {"no backup this time",
       u"4.51",
       u"/NOBACKUP",
       {archive(u"4.51", 3), archive(u"4.51", 4), archive(u"4.51", 5)}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.Title);
    std::filesystem::remove_all(folder_.NativePath(InDest(u"")));
    InstallPlayer(3400, true);
    for (int day = 1; day <= 5; ++day) WriteFile(InDest(u"!Backup\\" + archive(test.Version, day)));
    WriteFile(InDest(u"!Backup\\notes.txt"));
    RunPrepare(test.Switches);
    std::set<String> remaining = test.Remaining;
    remaining.insert(u"notes.txt");
    EXPECT_EQ(Backups(), remaining);
  }
}

// A run killed while saving leaves its archive under the temporary name; the next run must
// neither count it among the backups (it would push out a complete one) nor leave it behind,
// whether or not it saves a backup itself.
TEST_F(PrepareActionTest, AnArchiveLeftUnfinishedByARunCutShortIsDeletedAndNeverKept) {
  const String unfinished = u"~z Before install 5.0 [2024.03.05 14-00-00].zip.tmp";
  const auto archive = [](int day) {
    return u"z Before install 4.51 [2020.01.0" + Utf8ToString(std::to_string(day)) +
           u" 10-00-00].zip";
  };
  struct Case {
    StringView Switches;
    std::set<String> Remaining;
  };
  const Case cases[] = {
      {u"", {archive(2), archive(3), ArchiveName}},
      {u"/NOBACKUP", {archive(1), archive(2), archive(3)}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(StringToUtf8(test.Switches));
    std::filesystem::remove_all(folder_.NativePath(InDest(u"")));
    InstallPlayer(4510, true);
    WriteFile(InDest(u"ZELO.exe"), "MZ the player");
    for (int day = 1; day <= 3; ++day) WriteFile(InDest(u"!Backup\\" + archive(day)));
    WriteFile(InDest(u"!Backup\\" + unfinished), "PK\x03\x04 and then nothing");
    RunPrepare(test.Switches);
    EXPECT_EQ(Backups(), test.Remaining);
  }
}

// What a kill cannot break: the archive appears under its own name only by a move of the
// complete file, so at any moment it is either a whole backup or a temporary file.
TEST_F(PrepareActionTest, TheArchiveTakesItsNameOnlyOnceComplete) {
  InstallPlayer(3400, true);
  WriteFile(InDest(u"ZELO.exe"), "MZ the player");
  static std::vector<String> changes;
  changes.clear();
  platform::SetChangeObserver([](platform::Change change, StringView subject, StringView detail) {
    if (change == platform::Change::FileWritten || change == platform::Change::FileMoved) {
      if (subject.find(u"!Backup") != StringView::npos) {
        changes.push_back(String(subject) + (detail.empty() ? u"" : u" <- " + String(detail)));
      }
    }
  });
  RunPrepare();
  platform::SetChangeObserver(nullptr);
  const String backups = Dest() + u"!Backup\\";
  const String partial = backups + u"~" + ArchiveName + u".tmp";
  // Opening the partial archive is reported on Windows only; what matters is that the archive's
  // own name appears first through the move.
  std::erase(changes, partial);
  EXPECT_EQ(changes, (std::vector<String>{backups + ArchiveName + u" <- " + partial,
                                          backups + ArchiveName}));
  EXPECT_EQ(Backups(), std::set<String>{ArchiveName});
  EXPECT_EQ(Archive().size(), 2u);
}

TEST_F(PrepareActionTest, AnArchiveThatCannotTakeItsNameFailsTheBackupWithNothingDeleted) {
  InstallPlayer(3400, true);
  WriteFile(InDest(u"ZELO.exe"), "MZ the player");
  const String message = FailingPrepare<EInstallerBackupError>(u"", [] {
    HostDouble::FailFileOperation(HostDouble::FileOperation::Move, 1, platform::ErrorAccessDenied);
  });
  HostDouble::ClearFileFailures();
  EXPECT_EQ(message.substr(0, 26), u"Cannot complete the backup") << StringToUtf8(message);
  EXPECT_TRUE(Backups().empty());
  EXPECT_EQ(folder_.ReadFile(InDest(u"ZELO.exe")), "MZ the player");
}

// The installation's configuration tells the next run which version it finds. On an update it
// stays (saved in the archive all the same) until the configuration action rewrites it, so that
// a run killed after the deletion and started again is still the update it was; a replaced
// installation gives it up like every other old file.
TEST_F(PrepareActionTest, AnUpdateLeavesTheInstalledConfigurationForTheRunAfterIt) {
  struct Case {
    const char* Title;
    int Version;
    bool PerUser;
    bool Kept;
  };
  const Case cases[] = {
      {"update", 4510, true, true},
      {"portable update", 5020, false, true},
      {"replaced, the version cannot be updated", 3400, true, false},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.Title);
    std::filesystem::remove_all(folder_.NativePath(InDest(u"")));
    InstallPlayer(test.Version, test.PerUser);
    WriteFiles({InDest(u"ZELO.exe"), InDest(u"OldReadme.txt")});

    RunPrepare();

    EXPECT_EQ(Exists(InDest(u"ZELO.ini")), test.Kept);
    EXPECT_FALSE(Exists(InDest(u"OldReadme.txt")));
    std::set<std::string> saved;
    for (const auto& entry : Archive()) saved.insert(entry.first);
    EXPECT_TRUE(saved.count(test.PerUser ? "Program/ZELO.ini" : "ZELO.ini"));
    // The run after a kill at this point finds the same kind of installation.
    const TInstaller& again = CreateRun();
    EXPECT_EQ(again.HasOption(ioUpdate), test.Kept);
    EXPECT_EQ(again.HasOption(ioPortable), test.Kept && !test.PerUser);
  }
}

// An update from 3.x killed after its profile migration but before the old profile was deleted:
// started again, it copies the old profile once more over the migrated one, and each renamed
// file meets its own earlier rename. Identical bytes are that earlier work; anything else is a
// real conflict and still stops the run.
TEST_F(PrepareActionTest, AMigrationCutShortCanRunAgain) {
  struct Case {
    const char* Title;
    std::string Migrated;  // what ZELO\ZELO.ini holds from the earlier run
    bool Completes;
  };
  const std::string old_settings = "[Player]\r\nVolume=80\r\n";
  const Case cases[] = {
      {"the earlier run's rename", old_settings, true},
      {"another version's settings", "[Player]\r\nVolume=10\r\n", false},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.Title);
    std::filesystem::remove_all(folder_.NativePath(InDest(u"")));
    std::filesystem::remove_all(folder_.NativePath(InAppData(u"")));
    // The earlier run renamed the installation's configuration already.
    InstallPlayer(3600, true, u"ZELO.ini");
    WriteFile(InAppData(u"ZELO3\\ZELO3.ini"), old_settings);
    WriteFile(InAppData(u"ZELO3\\ZELO3-cat.db"), "catalogue");
    WriteFile(InAppData(u"ZELO\\ZELO.ini"), test.Migrated);
    WriteFile(InAppData(u"ZELO\\ZELO-cat.db"), "catalogue");

    if (test.Completes) {
      RunPrepare();
      EXPECT_EQ(folder_.ReadFile(InAppData(u"ZELO\\ZELO.ini")), old_settings);
      EXPECT_EQ(folder_.ReadFile(InAppData(u"ZELO\\ZELO-cat.db")), "catalogue");
      EXPECT_FALSE(Exists(InAppData(u"ZELO\\ZELO3.ini")));
      EXPECT_FALSE(Exists(InAppData(u"ZELO3")));
    } else {
      FailingPrepare<EOSError>();
      EXPECT_EQ(folder_.ReadFile(InAppData(u"ZELO\\ZELO.ini")), test.Migrated);
      EXPECT_TRUE(Exists(InAppData(u"ZELO3\\ZELO3.ini")));
    }
  }
}

TEST_F(PrepareActionTest, ObsoletePluginsGoByTheInstalledVersion) {
  const std::vector<StringView> replaced_in_4002 = {
      u"Plugins\\zelo_Cirrow\\", u"Plugins\\zelo_Handova\\", u"Plugins\\Crestica\\",
      u"Plugins\\Shuvelle\\", u"Plugins\\Blendrix\\"};
  const std::vector<StringView> always = {u"Plugins\\zelo_Tallyo\\", u"Plugins\\zelo_Tagwell\\"};
  struct Case {
    int Version;
    bool ReplacedIn4002Go;
    bool VessoraGoes;
    bool TessalineGoes;
  };
  const Case cases[] = {{4001, true, true, true},   {4002, false, true, true},
                        {4698, false, true, true},  {4699, false, false, true},
                        {5029, false, false, true}, {5030, false, false, false}};
  const auto plugin_file = [](StringView plugin) { return InDest(String(plugin) + u"Sub\\p.dll"); };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.Version);
    InstallPlayer(test.Version, true);
    std::vector<std::pair<StringView, bool>> expected;  // plug-in, whether it goes
    for (const StringView plugin : replaced_in_4002)
      expected.emplace_back(plugin, test.ReplacedIn4002Go);
    expected.emplace_back(u"Plugins\\Vessora\\", test.VessoraGoes);
    expected.emplace_back(u"Plugins\\zelo_Tessaline\\", test.TessalineGoes);
    for (const StringView plugin : always) expected.emplace_back(plugin, true);
    for (const auto& [plugin, goes] : expected) WriteFile(plugin_file(plugin));
    WriteFile(u"Windows\\system32\\OptimFROG.dll");

    // An update without backup: the plug-ins folder is the user's, yet obsolete ones go.
    RunPrepare(u"/NOBACKUP");

    for (const auto& [plugin, goes] : expected) {
      EXPECT_EQ(Exists(plugin_file(plugin)), !goes) << StringToUtf8(plugin);
    }
    EXPECT_FALSE(Exists(u"Windows\\system32\\OptimFROG.dll"));
  }
}

TEST_F(PrepareActionTest, TwoGigabytesOrMoreAreRefusedWithNothingWrittenOrDeleted) {
  const std::vector<std::vector<uintmax_t>> cases = {{uintmax_t{1} << 31},
                                                     {uintmax_t{1} << 30, uintmax_t{1} << 30}};
  for (const std::vector<uintmax_t>& sizes : cases) {
    SCOPED_TRACE(sizes.size());
    InstallPlayer(3400, true);
    for (size_t i = 0; i < sizes.size(); ++i) {
      const String name = InDest(u"Music\\big" + Utf8ToString(std::to_string(i)) + u".wav");
      WriteFile(name);
      // Sparse: the size is real, the disk space is not used.
      std::filesystem::resize_file(folder_.NativePath(name), sizes[i]);
    }
    EXPECT_EQ(FailingPrepare<EInstallerBackupError>(), u"Too many files for backup");
    EXPECT_FALSE(Exists(InDest(u"!Backup")));
    EXPECT_TRUE(Exists(InDest(u"Music\\big0.wav")));
    EXPECT_TRUE(Exists(InDest(u"ZELO.ini")));
    std::filesystem::remove_all(folder_.NativePath(InDest(u"Music")));
  }
}

TEST_F(PrepareActionTest, AFailedBackupRemovesTheArchiveAndDeletesNothing) {
  struct Case {
    const char* Title;
    HostDouble::FileOperation Operation;
    uint32_t Error;
  };
  const Case cases[] = {
      {"a file that cannot be read", HostDouble::FileOperation::Read, platform::ErrorAccessDenied},
      {"a full disk", HostDouble::FileOperation::Write, platform::ErrorDiskFull},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.Title);
    InstallPlayer(3400, true);
    WriteFile(InDest(u"ZELO.exe"), "MZ the player");
    // Four complete older backups: a broken one must not push any of them out.
    std::set<String> older;
    for (const char16_t day : {u'1', u'2', u'3', u'4'}) {
      const String name = String(u"z Before install 4.0 [2020.01.0") + day + u" 10-00-00].zip";
      WriteFile(InDest(u"!Backup\\" + name));
      older.insert(name);
    }

    // The first file saved is the player itself, 13 bytes.
    const String message = FailingPrepare<EInstallerBackupError>(
        u"", [&test] { HostDouble::FailFileOperation(test.Operation, 1, test.Error); });
    HostDouble::ClearFileFailures();

    const String head =
        u"An error occurs while backuping the \"" + Dest() + u"ZELO.exe\" file (13)\r\n";
    EXPECT_EQ(message.substr(0, head.size()), head) << StringToUtf8(message);
    const String reason = platform::SysErrorMessage(test.Error);
    EXPECT_EQ(message.substr(message.size() - reason.size()), reason) << StringToUtf8(message);
    EXPECT_EQ(Backups(), older);
    EXPECT_EQ(folder_.ReadFile(InDest(u"ZELO.exe")), "MZ the player");
    EXPECT_TRUE(Exists(InDest(u"ZELO.ini")));
    std::filesystem::remove_all(folder_.NativePath(InDest(u"!Backup")));
  }
}

// A failure that left no system error behind must not end the box with the system's text for
// "no error", a line that would read as if the backup had succeeded.
TEST_F(PrepareActionTest, ABackupFailureWithoutSystemErrorAddsNoSuccessLine) {
  InstallPlayer(3400, true);
  WriteFile(InDest(u"ZELO.exe"), "MZ the player");
  const String message = FailingPrepare<EInstallerBackupError>(u"", [] {
    HostDouble::FailFileOperation(HostDouble::FileOperation::Read, 1, platform::ErrorSuccess);
  });
  HostDouble::ClearFileFailures();
  const String success = platform::SysErrorMessage(platform::ErrorSuccess);
  size_t start = 0;
  for (size_t end = 0; end != String::npos; start = end + 2) {
    end = message.find(u"\r\n", start);
    EXPECT_NE(message.substr(start, end == String::npos ? String::npos : end - start), success)
        << StringToUtf8(message);
  }
  std::filesystem::remove_all(folder_.NativePath(InDest(u"!Backup")));
}

TEST_F(PrepareActionTest, WithoutBackupOnlyTheFilesBeingInstalledAndObsoleteOnesGo) {
  InstallPlayer(3400, true);
  WriteFiles({InDest(u"ZELO.exe"), InDest(u"readme.txt"), InDest(u"Langs\\Russian.lng"),
              InDest(u"Langs\\German.lng"), InDest(u"Plugins\\Output.dll"),
              InAppData(u"ZELO3\\ZELO3.ini")});
  RunPrepare(u"/NOBACKUP");
  // Every language's files of the package go, whatever language this run installs.
  for (const StringView gone :
       {InDest(u"ZELO.exe"), InDest(u"readme.txt"), InDest(u"Langs\\Russian.lng")}) {
    EXPECT_FALSE(Exists(gone)) << StringToUtf8(gone);
  }
  for (const StringView kept : {InDest(u"Langs\\German.lng"), InDest(u"Plugins\\Output.dll"),
                                InDest(u"ZELO.ini"), InAppData(u"ZELO3\\ZELO3.ini")}) {
    EXPECT_TRUE(Exists(kept)) << StringToUtf8(kept);
  }
  EXPECT_FALSE(Exists(InDest(u"!Backup")));
  EXPECT_EQ(Statuses(), (std::vector<String>{u"Updating settings...", u"Removing old files..."}));
}

TEST_F(PrepareActionTest, AFreshInstallationWritesNoArchive) {
  RunPrepare();
  EXPECT_FALSE(Exists(InDest(u"!Backup")));
  EXPECT_EQ(Statuses(), (std::vector<String>{u"Saving a backup...", u"Updating settings...",
                                             u"Removing old files..."}));
  // Three clean-up tasks, no files: each task a third of the way.
  EXPECT_EQ(progress_, (std::vector<int>{33, 67, 100}));
}

TEST_F(PrepareActionTest, ProgressCountsFilesSavedThenTasksRun) {
  InstallPlayer(3400, true);  // with ZELO.ini, two files and three tasks
  WriteFile(InDest(u"ZELO.exe"));
  RunPrepare();
  EXPECT_EQ(progress_, (std::vector<int>{20, 40, 60, 80, 100}));
}

TEST_F(PrepareActionTest, AFileInUseIsMovedAwayAndItsFolderRemoved) {
  InstallPlayer(3400, true);
  WriteFile(InDest(u"Tools\\Converter.exe"), "MZ");
  const String program = Dest() + u"Tools\\Converter.exe";
  HostDouble::SetProgramRunning(program, true);

  RunPrepare();

  EXPECT_FALSE(Exists(InDest(u"Tools")));
  const std::vector<String> scheduled = HostDouble::TakeRestartDeletes();
  ASSERT_EQ(scheduled.size(), 1u);
  EXPECT_EQ(platform::ExtractFilePath(scheduled[0]), folder_.PathOf(u"Temp\\"));
  EXPECT_EQ(platform::ExtractFileName(scheduled[0]).substr(0, 3), u"del");
  HostDouble::SetProgramRunning(scheduled[0], false);
}

TEST_F(PrepareActionTest, EmptiedFoldersGoDeepestFirst) {
  WriteFiles({InDest(u"Plugins\\zelo_Tallyo\\a.dll"), InDest(u"Plugins\\zelo_Tallyo\\x\\b.dll"),
              InDest(u"Plugins\\zelo_Tallyo\\x\\y\\c.dll")});
  RunPrepare(u"/NOBACKUP");
  EXPECT_FALSE(Exists(InDest(u"Plugins\\zelo_Tallyo")));
  // Only folders that held a listed file are tried: "Plugins\" held none.
  EXPECT_TRUE(Exists(InDest(u"Plugins")));
}

TEST_F(PrepareActionTest, TheSummaryTellsFolderKindBackupAndWarning) {
  struct Case {
    const char* Title;
    int InstalledVersion;  // 0: nothing installed
    StringView Switches;
    bool RegisteredElsewhere;
    String Lines;  // after the folder's group
  };
  const String type = u"Installation type\r\n";
  const String backup = u"    Back up the previous version\r\n";
  const String warning = u"\r\n" + type + u"    The installed version will be replaced\r\n";
  const Case cases[] = {
      {"fresh", 0, u"", false, type + u"    Standard\r\n" + backup},
      {"portable without backup", 0, u"/PORTABLE /NOBACKUP", false, type + u"    Portable\r\n"},
      {"update", 4510, u"", false, type + u"    Update\r\n" + backup},
      {"version that cannot be updated", 3400, u"", false,
       type + u"    Standard\r\n" + backup + warning},
      {"installed elsewhere", 0, u"", true, type + u"    Standard\r\n" + backup + warning},
      {"installed elsewhere, portable here", 0, u"/PORTABLE", true,
       type + u"    Portable\r\n" + backup},
  };
  WriteFile(u"Elsewhere\\Uninstall.exe", "MZ");
  for (const Case& test : cases) {
    SCOPED_TRACE(test.Title);
    std::filesystem::remove(folder_.NativePath(InDest(u"ZELO.ini")));
    if (test.InstalledVersion != 0) InstallPlayer(test.InstalledVersion, true);
    HostDouble::ResetRegistry();
    if (test.RegisteredElsewhere) {
      TInstallerApplicationRepository::Register(
          u"ZELO", folder_.PathOf(u"Elsewhere\\Uninstall.exe"), u"4.0", u"", u"");
    }
    CreateRun(test.Switches);
    TInstallerSummaryBuilder builder;
    TInstallerActionPrepare().BuildSummary(builder);
    EXPECT_EQ(builder.ToString(),
              u"Destination folder:\r\n    " + Dest() + u"\r\n\r\n" + test.Lines);
  }
}

}  // namespace
