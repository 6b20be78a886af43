// The shortcuts of the installer script: which places the options allow, the executables-only
// rule of newer Windows, and shortcuts that exist already.
#include "product/installer_action_shortcuts.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/installer_summary_builder.h"
#include "platform/shell_execute.h"
#include "platform/shell_link.h"
#include "product/installer_actions_test_fixture.h"
#include "support/ini_file.h"
#include "tests/support/case_title.h"

namespace {

using platform::ShellFolder;

constexpr platform::WindowsVersion Windows7{6, 1, 7601};

class ShortcutsTest : public ProductActionTest {
 protected:
  void SetUp() override {
    ProductActionTest::SetUp();
    HostDouble::SetShellFolder(ShellFolder::CommonDesktop, folder_.PathOf(u"Desktop"));
    HostDouble::SetShellFolder(ShellFolder::CommonPrograms, folder_.PathOf(u"Programs"));
    WriteFile(u"ZELO.exe");
  }

  // The script's "Shortcuts" group is Entries ("File" elements).
  static void UseShortcuts(std::string_view entries) {
    ExtendPackage(u"SETUP", {{u"Install.xml",
                              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Install><product>"
                              "<Settings><Setting name=\"ProductName\" value=\"ZELO\"/>"
                              "</Settings><Shortcuts>" +
                                  std::string(entries) + "</Shortcuts></product></Install>"}});
  }

  void RunShortcuts() {
    TInstallerActionShortcuts action;
    RunAction(action);
  }

  // Where the shortcut at Relative_name points, or empty when there is none.
  String TargetOf(StringView relative_name) const {
    if (!Exists(relative_name)) return String();
    String target;
    EXPECT_TRUE(platform::ReadShellLinkTarget(folder_.PathOf(relative_name), target));
    return target;
  }

  String Player() const { return folder_.PathOf(u"ZELO.exe"); }

  // The worker thread that runs the action is inside an apartment, which shell links need.
  const platform::ShellApartment apartment_;
};

constexpr char PlayerShortcuts[] =
    "<File name=\"$DESKTOP\\$NAME.lnk\">$DEST\\ZELO.exe</File>"
    "<File name=\"$STARTMENU\\$NAME\\$NAME.lnk\">$DEST\\ZELO.exe</File>"
    "<File name=\"$DEST\\$NAME.lnk\">$DEST\\ZELO.exe</File>";

struct PlaceCase {
  const char* Title;
  bool Portable;
  const char16_t* Options;  // the "Integration" section
  bool Desktop;
  bool StartMenu;
};

class ShortcutPlacesTest : public ShortcutsTest, public testing::WithParamInterface<PlaceCase> {};

TEST_P(ShortcutPlacesTest, CreatesTheShortcutsOfTheChosenPlacesOnly) {
  const PlaceCase& run = GetParam();
  UseShortcuts(PlayerShortcuts);
  CreateAutomatic(run.Portable ? u"/PORTABLE" : u"")
      .OptionStore()
      .WriteSectionText(u"Integration", run.Options);
  RunShortcuts();
  EXPECT_EQ(TargetOf(u"Desktop\\ZELO.lnk"), run.Desktop ? Player() : u"");
  EXPECT_EQ(TargetOf(u"Programs\\ZELO\\ZELO.lnk"), run.StartMenu ? Player() : u"");
  // A shortcut in neither place is never made, whatever the options.
  EXPECT_FALSE(Exists(u"ZELO.lnk"));
  EXPECT_EQ(progress_, (std::vector<int>{33, 67, 100}));
}

INSTANTIATE_TEST_SUITE_P(
    Options, ShortcutPlacesTest,
    testing::Values(PlaceCase{"BothByDefault", false, u"", true, true},
                    PlaceCase{"NoneForAPortableRunByDefault", true, u"", false, false},
                    PlaceCase{"APortableRunThatAsksForTheDesktop", true, u"ShortcutDesktop=1", true,
                              false},
                    PlaceCase{"StartMenuOnly", false, u"ShortcutDesktop=0", false, true},
                    PlaceCase{"DesktopOnly", false, u"ShortcutStartMenu=0", true, false}),
    CaseTitle());

constexpr char MixedTargets[] =
    "<File name=\"$DESKTOP\\Player.lnk\">$DEST\\ZELO.exe</File>"
    "<File name=\"$DESKTOP\\Caps.lnk\">$DEST\\ZELO.EXE</File>"
    "<File name=\"$DESKTOP\\Readme.lnk\">$DEST\\readme.txt</File>"
    "<File name=\"$DESKTOP\\Tool.lnk\">$DEST\\Tool</File>";

TEST_F(ShortcutsTest, NewerWindowsGetShortcutsToProgramsOnly) {
  WriteFile(u"readme.txt");
  WriteFile(u"Tool");
  UseShortcuts(MixedTargets);
  CreateAutomatic();
  RunShortcuts();
  EXPECT_TRUE(Exists(u"Desktop\\Player.lnk"));
  EXPECT_TRUE(Exists(u"Desktop\\Caps.lnk"));
  EXPECT_FALSE(Exists(u"Desktop\\Readme.lnk"));
  EXPECT_FALSE(Exists(u"Desktop\\Tool.lnk"));
}

TEST_F(ShortcutsTest, Windows7GetsShortcutsToAnyFile) {
  HostDouble::SetWindowsVersion(Windows7);
  WriteFile(u"readme.txt");
  WriteFile(u"Tool");
  UseShortcuts(MixedTargets);
  CreateAutomatic();
  RunShortcuts();
  EXPECT_EQ(TargetOf(u"Desktop\\Readme.lnk"), folder_.PathOf(u"readme.txt"));
  EXPECT_EQ(TargetOf(u"Desktop\\Tool.lnk"), folder_.PathOf(u"Tool"));
}

TEST_F(ShortcutsTest, AShortcutThatPointsAtItsTargetAlreadyIsLeftAlone) {
  UseShortcuts(PlayerShortcuts);
  CreateAutomatic();
  std::filesystem::create_directories(folder_.NativePath(u"Desktop"));
  ASSERT_TRUE(platform::WriteShellLink(folder_.PathOf(u"Desktop\\ZELO.lnk"), Player()));
  const auto link = folder_.NativePath(u"Desktop\\ZELO.lnk");
  const auto long_ago = std::filesystem::last_write_time(link) - std::chrono::hours(24);
  std::filesystem::last_write_time(link, long_ago);
  RunShortcuts();
  EXPECT_EQ(std::filesystem::last_write_time(link), long_ago);
}

struct ExistingCase {
  const char* Title;
  std::string_view Bytes;  // of the file at the shortcut's place; empty: a shortcut elsewhere
};

class ExistingShortcutTest : public ShortcutsTest,
                             public testing::WithParamInterface<ExistingCase> {};

TEST_P(ExistingShortcutTest, IsReplacedByOneToTheTarget) {
  UseShortcuts(PlayerShortcuts);
  CreateAutomatic();
  if (GetParam().Bytes.empty()) {
    std::filesystem::create_directories(folder_.NativePath(u"Desktop"));
    ASSERT_TRUE(
        platform::WriteShellLink(folder_.PathOf(u"Desktop\\ZELO.lnk"), u"C:\\Old\\ZELO3.exe"));
  } else {
    WriteFile(u"Desktop\\ZELO.lnk", GetParam().Bytes);
  }
  RunShortcuts();
  EXPECT_EQ(TargetOf(u"Desktop\\ZELO.lnk"), Player());
}

INSTANTIATE_TEST_SUITE_P(Kinds, ExistingShortcutTest,
                         testing::Values(ExistingCase{"PointingElsewhere", {}},
                                         ExistingCase{"Unreadable", "not a shell link"}),
                         CaseTitle());

TEST_F(ShortcutsTest, AMissingTargetLeavesAnExistingShortcutAsItWas) {
  UseShortcuts("<File name=\"$DESKTOP\\Help.lnk\">$DEST\\Help.exe</File>");
  CreateAutomatic();
  std::filesystem::create_directories(folder_.NativePath(u"Desktop"));
  ASSERT_TRUE(platform::WriteShellLink(folder_.PathOf(u"Desktop\\Help.lnk"), u"C:\\Old\\Help.exe"));
  RunShortcuts();
  EXPECT_EQ(TargetOf(u"Desktop\\Help.lnk"), u"C:\\Old\\Help.exe");
}

TEST_F(ShortcutsTest, AFolderThatCannotBeMadeSkipsOnlyItsShortcut) {
  WriteFile(u"Desktop\\Blocked", "a file where the folder should be");
  UseShortcuts(
      "<File name=\"$DESKTOP\\Blocked\\ZELO.lnk\">$DEST\\ZELO.exe</File>"
      "<File name=\"$DESKTOP\\ZELO.lnk\">$DEST\\ZELO.exe</File>");
  CreateAutomatic();
  EXPECT_NO_THROW(RunShortcuts());
  EXPECT_EQ(TargetOf(u"Desktop\\ZELO.lnk"), Player());
}

TEST_F(ShortcutsTest, AVariableInAnotherLetterCaseNeverPutsAShortcutIntoTheCurrentFolder) {
  // The place matches ignoring case, but only "$DESKTOP" expands: the path stays relative.
  UseShortcuts("<File name=\"$Desktop\\ZELO.lnk\">$DEST\\ZELO.exe</File>");
  CreateAutomatic();
  RunShortcuts();
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::current_path() / "$Desktop"));
  EXPECT_FALSE(Exists(u"Desktop\\ZELO.lnk"));
}

TEST_F(ShortcutsTest, TheWorkerThreadCanWriteShellLinks) {
  UseShortcuts(PlayerShortcuts);
  ProductInfoClass = &CreateProductInfo<FakeProductInfo>;
  FakeProductInfo::State().Actions = {&TInstallerActionShortcuts::Class()};
  TInstaller& installer = CreateAutomatic();
  installer.Start(true);
  ASSERT_FALSE(installer.HasErrors()) << StringToUtf8(installer.Errors().GetText());
  EXPECT_EQ(TargetOf(u"Desktop\\ZELO.lnk"), Player());
}

TEST_F(ShortcutsTest, TheSummaryListsTheChosenPlaces) {
  UseEnglishTexts(
      "[PageIntegration]\r\nLB1=Shortcuts\r\nCB1=On the desktop\r\n"
      "CB2=In the start menu\r\n");
  TInstaller& installer = CreateAutomatic();
  installer.Resources().InitializeLanguages();
  installer.OptionStore().WriteBool(u"Integration", u"ShortcutStartMenu", false);
  TInstallerSummaryBuilder builder;
  TInstallerActionShortcuts().BuildSummary(builder);
  EXPECT_EQ(builder.ToString(), u"Shortcuts\r\n    On the desktop\r\n");
}

}  // namespace
