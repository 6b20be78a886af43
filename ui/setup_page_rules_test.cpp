// The destination page's rules against the installer object and a product whose installation
// state the test decides.
#include "ui/setup_page_rules.h"

#include <gtest/gtest.h>

#include "core/installer_product_info.h"
#include "core/installer_resources.h"
#include "core/installer_test_fixture.h"

namespace {

class SetupPageRules : public InstallerTest {
 protected:
  // The installer with the test's folder as destination, holding what the case describes.
  TInstaller& CreateWith(int32_t installed_version, bool portable_installation,
                         StringView switches = {}) {
    FakeProductInfo::State().InstalledVersion = installed_version;
    FakeProductInfo::State().Portable = portable_installation;
    return CreateAutomatic(switches);
  }

  static TFindInstalledPath Found(bool found) {
    return [found] { return found; };
  }
};

TEST_F(SetupPageRules, ShowsTheBoxesModeAndWarningForTheInstallationFound) {
  struct Case {
    const char* Title;
    int32_t InstalledVersion;
    bool PortableInstallation;
    const char16_t* Switches;
    bool InstalledElsewhere;
    bool ClearUpdate;
    bool UpdateChecked, UpdateVisible, BackupChecked, BackupVisible, ModeEnabled, Portable;
    StringView Warning;
  };
  const Case cases[] = {
      {"a fresh folder", 0, false, u"", false, false,  //
       false, false, true, false, true, false, u""},
      {"a fresh folder, another installation registered", 0, false, u"", true, false,  //
       false, false, true, false, true, false, u"W3"},
      {"a fresh portable folder, another installation registered", 0, false, u"/PORTABLE", true,
       false,  //
       false, false, true, false, true, true, u""},
      {"an updatable installation", 4000, false, u"", false, false,  //
       true, true, true, true, false, false, u"W1"},
      {"an updatable installation, no backup asked for", 4000, false, u"/NOBACKUP", false, false,
       true, true, false, true, false, false, u"W1"},
      {"an updatable portable installation keeps its kind", 4000, true, u"", false, false,  //
       true, true, true, true, false, true, u"W1"},
      {"an updatable installation, update cleared", 4000, false, u"", false, true,  //
       false, true, true, false, true, false, u"W3"},
      {"an installation too old to update", 300, false, u"", false, false,  //
       false, false, true, false, true, false, u"W3"},
  };
  for (const Case& one : cases) {
    SCOPED_TRACE(one.Title);
    TInstaller& installer =
        CreateWith(one.InstalledVersion, one.PortableInstallation, one.Switches);
    if (one.ClearUpdate) installer.SetOption(ioUpdate, false);
    const TSetupPageState state = GetSetupPageState(installer, Found(one.InstalledElsewhere));
    EXPECT_EQ(state.Destination, installer.DestPath());
    EXPECT_EQ(state.UpdateChecked, one.UpdateChecked);
    EXPECT_EQ(state.UpdateVisible, one.UpdateVisible);
    EXPECT_EQ(state.BackupChecked, one.BackupChecked);
    EXPECT_EQ(state.BackupVisible, one.BackupVisible);
    EXPECT_EQ(state.ModeEnabled, one.ModeEnabled);
    EXPECT_EQ(state.Portable, one.Portable);
    EXPECT_EQ(state.WarningKey, one.Warning);
  }
}

TEST_F(SetupPageRules, APortableChoiceInAProgramFilesFolderIsShownAsNormal) {
  TInstaller& installer = CreateWith(0, false, u"/PORTABLE");
  installer.SetDestPath(installer.Resources().ProgramFilesFolder() + u"ZELO\\");
  installer.SetOption(ioPortable, true);
  EXPECT_FALSE(GetSetupPageState(installer, Found(false)).Portable);
}

TEST_F(SetupPageRules, ABrowsedFolderGetsTheProductsFolderUnlessItIsOne) {
  const struct {
    StringView Folder;
    StringView Expected;
  } cases[] = {
      {u"C:\\Tools", u"C:\\Tools\\ZELO"},
      {u"C:\\Tools\\", u"C:\\Tools\\ZELO"},
      {u"D:\\Apps\\zelo", u"D:\\Apps\\zelo\\"},
      {u"D:\\Apps\\ZELO\\", u"D:\\Apps\\ZELO\\"},
      {u"D:\\Apps\\ZELO Player", u"D:\\Apps\\ZELO Player\\ZELO"},
      {u"E:\\", u"E:\\ZELO"},
  };
  for (const auto& one : cases) {
    EXPECT_EQ(GetBrowsedDestination(one.Folder, u"ZELO"), one.Expected) << StringToUtf8(one.Folder);
  }
}

TEST_F(SetupPageRules, TheKindOfInstallationMovesTheDestinationOnlyWhereItMust) {
  TInstaller& installer = CreateWith(0, false);
  const TInstallerProductInfo& product = installer.ProductInfo();
  const String protected_folder = installer.Resources().ProgramFilesFolder() + u"ZELO\\";

  installer.SetDestPath(protected_folder);
  EXPECT_EQ(GetDestinationForMode(installer, true), product.GetDefaultPortablePath());
  EXPECT_EQ(GetDestinationForMode(installer, false), std::nullopt);

  installer.SetDestPath(product.GetDefaultPortablePath());
  EXPECT_EQ(GetDestinationForMode(installer, false), product.GetDefaultPath());
  EXPECT_EQ(GetDestinationForMode(installer, true), std::nullopt);

  // A folder of the user's own choice stays whatever the kind.
  installer.SetDestPath(folder_.Path());
  EXPECT_EQ(GetDestinationForMode(installer, true), std::nullopt);
  EXPECT_EQ(GetDestinationForMode(installer, false), std::nullopt);
}

TEST_F(SetupPageRules, AnUnusableDestinationIsExplained) {
  const auto only_c = [](StringView folder) { return folder == u"C:\\"; };
  const struct {
    StringView Destination;
    StringView Problem;  // the start of the message; empty for none
  } cases[] = {
      {u"", u""},
      {u"C:\\Apps\\ZELO\\", u""},
      {u"\\\\server\\share\\ZELO\\", u""},
      {u"Apps\\ZELO\\", u"The destination folder \"Apps\\ZELO\\\" is not a full path"},
      {u"C:\\", u"The destination folder \"C:\\\" is the root of a drive"},
      {u"Q:\\Apps\\ZELO\\", u"The drive Q: does not exist"},
  };
  for (const auto& one : cases) {
    const String problem = GetDestinationProblem(one.Destination, only_c);
    EXPECT_TRUE(problem.starts_with(one.Problem) && (one.Problem.empty() == problem.empty()))
        << StringToUtf8(one.Destination) << ": " << StringToUtf8(problem);
  }
}

}  // namespace
