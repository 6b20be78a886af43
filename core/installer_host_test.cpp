// The installer object where only the host double can arrange or observe: running as the
// uninstaller, the post-install commands, and questions put to the user.
#include <gtest/gtest.h>

#include "core/installer.h"
#include "core/installer_action_extract.h"
#include "core/installer_errors.h"
#include "core/installer_resources.h"
#include "core/installer_test_fixture.h"
#include "package/setup_package_builder.h"
#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/host_double.h"
#include "platform/process.h"

namespace {

using platform::HostDouble;

class InstallerHostTest : public InstallerTest {
 protected:
  void SetUp() override {
    InstallerTest::SetUp();
    saved_program_ = platform::GetProgramFileName();
    HostDouble::TakeShellExecutions();
    HostDouble::TakeMessageBoxes();
  }
  void TearDown() override {
    InstallerTest::TearDown();
    HostDouble::SetProgramFileName(saved_program_);
  }

  // The program runs as "Uninstall.exe" in the test's folder, beside its data file.
  void BecomeUninstaller(StringView program_name = u"Uninstall.exe") {
    TSetupPackageBuilder builder;
    const std::string ini = "[Uninstall]\r\n0=ZELO.exe\r\nCount=1\r\n";
    TMemoryStream content(std::vector<uint8_t>(ini.begin(), ini.end()));
    builder.AddFile(content, u"Uninstall.ini");
    builder.SaveToFile(folder_.PathOf(u"Uninstall.dat"), 4);
    HostDouble::SetProgramFileName(folder_.PathOf(program_name));
  }

  String saved_program_;
};

TEST_F(InstallerHostTest, TheUninstallerTakesItsDataFileAndOnlyAutoAndSilent) {
  BecomeUninstaller(u"UNINSTALL.EXE");
  TInstaller& installer = Create(u"/AUTO=C:\\ignored /SILENT /PORTABLE /RUN");
  EXPECT_EQ(installer.Mode(), imUninstall);
  EXPECT_EQ(installer.Options(), OptionBit(ioAuto) | OptionBit(ioSilent));
  EXPECT_EQ(installer.DestPath(), u"");
  try {
    installer.Start(true);
    FAIL() << "expected EInstallerInstallError";
  } catch (const EInstallerInstallError& error) {
    EXPECT_EQ(error.Message(), u"DestPath is empty");
  }
}

TEST_F(InstallerHostTest, SilentWithoutAutoIsNotSilentForTheUninstallerEither) {
  BecomeUninstaller();
  EXPECT_EQ(Create(u"/SILENT").Options(), 0);
}

TEST_F(InstallerHostTest, AnotherProgramNameReadsTheProductResource) {
  BecomeUninstaller(u"Uninstall2.exe");
  EXPECT_EQ(Create(u"").Mode(), imInstall);
}

TEST_F(InstallerHostTest, PostActionsStartTheTickedCommandsWithVariablesExpanded) {
  TInstaller& installer = CreateAutomatic();
  installer.OptionStore().WriteBool(u"Actions", u"$DEST\\ZELO.exe", true);
  installer.RunPostActions();
  const auto started = HostDouble::TakeShellExecutions();
  ASSERT_EQ(started.size(), 1u);
  // An elevated process without a parent's window starts programs through the shell as the
  // logged-on user. The destination ends in a backslash before the script's own.
  EXPECT_TRUE(started[0].File.ends_with(u"explorer.exe"));
  EXPECT_EQ(started[0].Parameters, folder_.Path() + u"\\ZELO.exe");
}

TEST_F(InstallerHostTest, AfterAnAutomaticUpdateWithRunEveryCommandStartsByDefault) {
  FakeProductInfo::State().InstalledVersion = 4512;
  TInstaller& installer = CreateAutomatic(u"/UPDATE /RUN");
  installer.RunPostActions();
  const auto started = HostDouble::TakeShellExecutions();
  ASSERT_EQ(started.size(), 2u);
  EXPECT_EQ(started[1].Parameters, u"https://zelo.example/");
}

TEST_F(InstallerHostTest, NoPostActionsAfterErrorsOrWhenNothingIsTicked) {
  TInstaller& installer = CreateAutomatic(u"/RUN");
  installer.RunPostActions();  // not an update: nothing ticked by default
  EXPECT_TRUE(HostDouble::TakeShellExecutions().empty());
  installer.OptionStore().WriteBool(u"Actions", u"$LINK", true);
  AddError(u"failed");
  installer.RunPostActions();
  EXPECT_TRUE(HostDouble::TakeShellExecutions().empty());
}

TEST_F(InstallerHostTest, TheUninstallerStartsNoPostActions) {
  BecomeUninstaller();
  TInstaller& installer = Create(u"/AUTO /SILENT");
  installer.SetDestPath(folder_.Path());
  installer.OptionStore().WriteBool(u"Actions", u"$DEST\\ZELO.exe", true);
  installer.RunPostActions();
  EXPECT_TRUE(HostDouble::TakeShellExecutions().empty());
}

TEST_F(InstallerHostTest, ASetupPackageWithoutScriptOrADamagedOneIsRefused) {
  TSetupPackageBuilder builder;
  TMemoryStream english(std::vector<uint8_t>{'[', 'F', 'i', 'l', 'e', ']'});
  builder.AddFile(english, u"English.lng");
  TMemoryStream package;
  builder.Commit(package, 1);
  HostDouble::SetDataResource(nullptr, u"SETUP", package.Bytes());
  HostDouble::SetDataResource(nullptr, u"PRODUCT", package.TakeBytes());
  try {
    CreateAutomatic();
    FAIL() << "expected EInstallerInstallError";
  } catch (const EInstallerInstallError& error) {
    EXPECT_EQ(error.Message(), u"Cannot locate \"Install.xml\" file in setup archive");
  }
  std::vector<uint8_t> damaged = ReadTestPackage(u"setup");
  damaged[damaged.size() / 2] ^= 0x08;
  HostDouble::SetDataResource(nullptr, u"SETUP", damaged);
  try {
    CreateAutomatic();
    FAIL() << "expected ESetupPackageReadError";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), u"Package was corrupted");
  }
}

TEST_F(InstallerHostTest, ScriptWithoutProductNameFailsWhenTheNameIsNeeded) {
  TSetupPackageBuilder builder;
  const std::string script = "<Install><product><Settings/></product></Install>";
  TMemoryStream xml(std::vector<uint8_t>(script.begin(), script.end()));
  builder.AddFile(xml, u"Install.xml");
  TMemoryStream package;
  builder.Commit(package, 1);
  HostDouble::SetDataResource(nullptr, u"SETUP", package.Bytes());
  HostDouble::SetDataResource(nullptr, u"PRODUCT", package.TakeBytes());
  try {
    Create(u"");  // the default folder is made of the product's name
    FAIL() << "expected EInstallerGeneralError";
  } catch (const EInstallerGeneralError& error) {
    EXPECT_EQ(error.Message(), u"TInstallerProductInfo.GetName");
  }
}

// "$dest" is not a variable (they are case-sensitive): such a target would be written relative
// to whatever folder is current. Every entry counts, whichever language it is for, and nothing
// is written or cleared before the refusal.
TEST_F(InstallerHostTest, AScriptTargetThatIsNotAFullPathRefusesTheRun) {
  const std::string script =
      "<Install><product><Settings><Setting name=\"ProductName\" value=\"ZELO\"/></Settings>"
      "<Components><File name=\"$DEST\\ZELO.exe\">ZELO.exe</File>"
      "<File name=\"$dest\\Langs\\Russian.lng\" lang-family=\"RU\">ZELO.exe</File>"
      "</Components></product></Install>";
  TSetupPackageBuilder builder;
  TMemoryStream xml(std::vector<uint8_t>(script.begin(), script.end()));
  builder.AddFile(xml, u"Install.xml");
  TMemoryStream player(std::vector<uint8_t>{'M', 'Z'});
  builder.AddFile(player, u"ZELO.exe");
  TMemoryStream package;
  builder.Commit(package, 1);
  HostDouble::SetDataResource(nullptr, u"SETUP", package.Bytes());
  HostDouble::SetDataResource(nullptr, u"PRODUCT", package.TakeBytes());
  FakeProductInfo::State().Actions = {&TInstallerActionExtract::Class()};
  TInstaller& installer = CreateAutomatic(u"/SILENT");
  try {
    installer.Start(true);
    FAIL() << "expected EInstallerInstallError";
  } catch (const EInstallerInstallError& error) {
    EXPECT_EQ(error.Message(),
              u"The installation script places a file at \"$dest\\Langs\\Russian.lng\", which is "
              u"not a full path.");
  }
  EXPECT_EQ(installer.State(), isIdle);
  EXPECT_FALSE(platform::FileExists(folder_.PathOf(u"ZELO.exe")));
  String current;
  ASSERT_TRUE(platform::GetCurrentFolder(current));
  EXPECT_FALSE(platform::FolderExists(platform::IncludeTrailingPathDelimiter(current) + u"$dest"));
}

TEST_F(InstallerHostTest, QuestionsFromTheWorkerAreAskedOnTheMainThread) {
  FakeProductInfo::State().Actions = {&TInstallerActionClass::Of<ScriptedAction<0>>()};
  int answer = 0;
  ScriptedAction<0>::Body() = [&](TInstallerAction&) {
    answer = Installer->AskUser(u"Retry?", platform::MessageBoxAbortRetryIgnore);
  };
  HostDouble::AnswerNextMessageBox(platform::AnswerIgnore);
  TInstaller& installer = CreateAutomatic();
  installer.Resources().InitializeLanguages();
  installer.Start(true);
  EXPECT_EQ(answer, platform::AnswerIgnore);
  const auto boxes = HostDouble::TakeMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, u"Retry?");
  EXPECT_EQ(boxes[0].Caption, u"ZELO Setup");
}

TEST_F(InstallerHostTest, AStrayQuestionMessageAsksNothingAndWritesNowhere) {
  TInstaller& installer = CreateAutomatic();
  installer.Resources().InitializeLanguages();
  // What another process could send to the window it found by its class: no question is
  // pending, and the pointer-sized parameter is not one.
  platform::SendWindowMessage(installer.MessageWindowHandle(), platform::MessageUser + 1, 0,
                              0x1234);
  EXPECT_TRUE(HostDouble::TakeMessageBoxes().empty());
}

}  // namespace
