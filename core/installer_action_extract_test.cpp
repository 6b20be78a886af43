// The extraction action: the product's files for the language, the uninstaller beside them, the
// list of what was installed, and the registration.
#include "core/installer_action_extract.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/installer_application_repository.h"
#include "core/installer_resources.h"
#include "core/installer_test_fixture.h"
#include "package/installer_script.h"
#include "package/setup_package_reader.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "support/ini_file.h"

namespace {

constexpr char16_t UninstallKey[] =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZELO";

class ExtractActionTest : public InstallerTest {
 protected:
  void SetUp() override {
    InstallerTest::SetUp();
    TInstallerApplicationRepository::Unregister(u"ZELO");
    FakeProductInfo::State().Actions = {&TInstallerActionExtract::Class()};
  }
  void TearDown() override {
    TInstallerApplicationRepository::Unregister(u"ZELO");
    InstallerTest::TearDown();
  }

  TInstaller& RunInstallation(StringView switches = {}) {
    TInstaller& installer = CreateAutomatic(switches);
    installer.Resources().InitializeLanguages();
    installer.OptionStore().WriteString(u"Integration", u"ShortcutDesktop", u"1");
    installer.OptionStore().WriteString(u"Uninstall", u"Stale", u"from elsewhere");
    installer.Start(true);
    return installer;
  }

  // "Uninstall.ini" as the uninstaller will read it from Uninstall.dat.
  std::unique_ptr<TVYNIniFile> ReadUninstallList() {
    TSetupPackageReader package(folder_.PathOf(u"Uninstall.dat"));
    EXPECT_EQ(package.FileTable().Count(), 1);
    auto stream = package.Extract(u"Uninstall.ini");
    EXPECT_NE(stream, nullptr);
    EXPECT_EQ(stream->Memory()[0], 0xFF);  // UTF-16LE with its byte order mark
    EXPECT_EQ(stream->Memory()[1], 0xFE);
    auto ini = std::make_unique<TVYNIniFile>();
    ini->LoadFromStream(*stream);
    return ini;
  }
};

TEST_F(ExtractActionTest, InstallsTheFilesOfTheLanguageAndTheUninstaller) {
  TInstaller& installer = RunInstallation();
  ASSERT_FALSE(installer.HasErrors()) << StringToUtf8(installer.Errors().GetText());

  EXPECT_EQ(folder_.ReadFile(u"ZELO.exe"), "MZ the player");
  EXPECT_EQ(folder_.ReadFile(u"readme.txt"), "Read me.\r\n");
  EXPECT_FALSE(std::filesystem::exists(folder_.NativePath(u"Langs\\Russian.lng")))
      << "a Russian file in an English installation";

  // A copy of the running program (here the test program) under the uninstaller's name.
  const std::filesystem::path program(platform::GetProgramFileName());
  EXPECT_EQ(std::filesystem::file_size(folder_.NativePath(u"Uninstall.exe")),
            std::filesystem::file_size(program));

  const auto list = ReadUninstallList();
  EXPECT_EQ(list->ReadSectionText(u"Uninstall"),
            u"0=ZELO.exe\r\nCount=4\r\n1=readme.txt\r\n2=Uninstall.dat\r\n3=Uninstall.exe\r\n");
  EXPECT_EQ(list->ReadString(u"Integration", u"ShortcutDesktop", u""), u"1");
  EXPECT_EQ(list->ReadString(u"Uninstall", u"Stale", u"absent"), u"absent");
}

TEST_F(ExtractActionTest, LeavesNoTemporaryFileOfARunCutShort) {
  // A run killed while writing a Russian and an English file left their temporary files; this
  // run, in English, writes only the English one again.
  folder_.WriteFile(u"Langs\\~Russian.lng.tmp", "half of the Russian file");
  folder_.WriteFile(u"~ZELO.exe.tmp", "half of the player");

  TInstaller& installer = RunInstallation();
  ASSERT_FALSE(installer.HasErrors()) << StringToUtf8(installer.Errors().GetText());

  EXPECT_EQ(folder_.ReadFile(u"ZELO.exe"), "MZ the player");
  for (const char16_t* leftover : {u"Langs\\~Russian.lng.tmp", u"~ZELO.exe.tmp"}) {
    EXPECT_FALSE(std::filesystem::exists(folder_.NativePath(leftover))) << StringToUtf8(leftover);
  }
}

TEST_F(ExtractActionTest, RegistersTheUninstaller) {
  RunInstallation();
  const auto key = platform::RegistryKey::Open(platform::RegistryRoot::LocalMachine, UninstallKey,
                                               platform::RegistryAccess::Read);
  ASSERT_TRUE(key.IsOpen());
  String text;
  ASSERT_TRUE(key.ReadText(u"DisplayName", text));
  EXPECT_EQ(text, u"ZELO");
  ASSERT_TRUE(key.ReadText(u"DisplayVersion", text));
  EXPECT_EQ(text, u"5.0.0.1");
  ASSERT_TRUE(key.ReadText(u"InstallPath", text));
  EXPECT_EQ(text, folder_.Path());
  // The test product names no program of its own for the icon.
  ASSERT_TRUE(key.ReadText(u"DisplayIcon", text));
  EXPECT_EQ(text, folder_.PathOf(u"Uninstall.exe"));
  ASSERT_TRUE(key.ReadText(u"InstallLocation", text));
  EXPECT_EQ(text, folder_.Path());
  ASSERT_TRUE(key.ReadText(u"QuietUninstallString", text));
  EXPECT_EQ(text, u"\"" + folder_.PathOf(u"Uninstall.exe") + u"\" /AUTO /SILENT /SUPPRESSMSGBOXES");
  // Everything in the folder is the installation's: its files, the uninstaller and its list.
  uintmax_t bytes = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder_.NativePath())) {
    if (entry.is_regular_file()) bytes += entry.file_size();
  }
  uint32_t kib = 0;
  ASSERT_TRUE(key.ReadDword(u"EstimatedSize", kib));
  EXPECT_EQ(kib, (bytes + 1023) / 1024);
}

TEST_F(ExtractActionTest, APortableInstallationIsNotRegistered) {
  TInstaller& installer = RunInstallation(u"/PORTABLE");
  ASSERT_TRUE(installer.HasOption(ioPortable));
  EXPECT_TRUE(std::filesystem::exists(folder_.NativePath(u"Uninstall.dat")));
  EXPECT_FALSE(platform::RegistryKey::Open(platform::RegistryRoot::LocalMachine, UninstallKey,
                                           platform::RegistryAccess::Read)
                   .IsOpen());
}

TEST_F(ExtractActionTest, ADestinationTypedWithADoubledDelimiterStillGivesRelativeEntries) {
  String doubled = folder_.Path();
  doubled.insert(doubled.find_last_of(u'\\', doubled.size() - 2), u"\\");
  TInstaller& installer = Create(u"/AUTO=\"" + doubled + u"\"");
  installer.Resources().InitializeLanguages();
  installer.Start(true);
  ASSERT_FALSE(installer.HasErrors()) << StringToUtf8(installer.Errors().GetText());
  EXPECT_EQ(ReadUninstallList()->ReadSectionText(u"Uninstall"),
            u"0=ZELO.exe\r\nCount=4\r\n1=readme.txt\r\n2=Uninstall.dat\r\n3=Uninstall.exe\r\n");
}

// Each is the test's folder as Windows reads it; the product's files, Uninstall.exe,
// Uninstall.dat and the registration must all name that one folder.
TEST_F(ExtractActionTest, EveryWayOfWritingTheDestinationInstallsIntoTheOneFolder) {
  const String folder = folder_.Path();
  const String without_delimiter = folder.substr(0, folder.size() - 1);
  String slashes = folder;
  for (char16_t& unit : slashes) {
    if (unit == u'\\') unit = u'/';
  }
  String quoted = folder;
  quoted.insert(quoted.find_last_of(u'\\', quoted.size() - 2) + 1, u"\"");
  quoted.insert(quoted.size() - 1, u"\"");
  const String forms[] = {
      slashes,                        // "C:/Temp/name/"
      without_delimiter + u". . \\",  // "name. . " as the last part
      u"\\\\?\\" + folder,            // the long-path prefix
      folder + u"sub\\..\\.\\",       // "sub", "..", "."
      quoted,                         // the last part in quotes
  };
  for (const String& form : forms) {
    SCOPED_TRACE(StringToUtf8(form));
    TInstallerApplicationRepository::Unregister(u"ZELO");
    std::filesystem::remove_all(folder_.NativePath());
    TInstaller& installer = Create(u"/AUTO=C:\\elsewhere\\");
    installer.SetDestPath(form);
    EXPECT_EQ(installer.DestPath(), folder);
    installer.Resources().InitializeLanguages();
    installer.Start(true);
    ASSERT_FALSE(installer.HasErrors()) << StringToUtf8(installer.Errors().GetText());
    EXPECT_EQ(folder_.ReadFile(u"ZELO.exe"), "MZ the player");
    EXPECT_TRUE(std::filesystem::exists(folder_.NativePath(u"Uninstall.exe")));
    EXPECT_EQ(ReadUninstallList()->ReadSectionText(u"Uninstall"),
              u"0=ZELO.exe\r\nCount=4\r\n1=readme.txt\r\n2=Uninstall.dat\r\n3=Uninstall.exe\r\n");
    const auto key = platform::RegistryKey::Open(platform::RegistryRoot::LocalMachine, UninstallKey,
                                                 platform::RegistryAccess::Read);
    String install_path;
    EXPECT_TRUE(key.ReadText(u"InstallPath", install_path));
    EXPECT_EQ(install_path, folder);
  }
}

TEST_F(ExtractActionTest, TheListEndsWithTheUninstallerAndKeepsOutsidePathsAbsolute) {
  TInstaller& installer = CreateAutomatic();
  installer.Resources().InitializeLanguages();
  TInstallerScriptFile outside;
  outside.Name = u"X:\\Shared\\codec.dll";
  struct Case {
    std::vector<const TInstallerScriptFile*> Files;
    String Expected;
  };
  const Case cases[] = {
      {{}, u"0=Uninstall.dat\r\nCount=2\r\n1=Uninstall.exe\r\n"},  // no file for the language
      {{&outside}, u"0=X:\\Shared\\codec.dll\r\nCount=3\r\n1=Uninstall.dat\r\n2=Uninstall.exe\r\n"},
  };
  for (const Case& one : cases) {
    TInstallerActionExtract action;
    action.WriteUninstallData(installer.DestPath(), one.Files);
    EXPECT_EQ(ReadUninstallList()->ReadSectionText(u"Uninstall"), one.Expected);
  }
}

}  // namespace
