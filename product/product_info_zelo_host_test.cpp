// The player's product information where only the host double can arrange the world: a running
// player, the uninstaller's mode, the Russian add-ons, an older Windows.
#include <gtest/gtest.h>

#include "core/installer_resources.h"
#include "core/installer_test_fixture.h"
#include "package/setup_package_builder.h"
#include "platform/host_double.h"
#include "platform/process.h"
#include "product/product_info_zelo.h"

namespace {

using platform::HostDouble;
using Kind = TZELOActionKind;

class ZELOHostTest : public InstallerTest {
 protected:
  void SetUp() override {
    InstallerTest::SetUp();
    ProductInfoClass = &CreateProductInfo<TProductInfoZELO>;
    HostDouble::ResetRegistry();
  }
  void TearDown() override {
    HostDouble::RemoveWindows();
    HostDouble::ResetSystem();
    InstallerTest::TearDown();
  }
  TProductInfoZELO& Product() { return static_cast<TProductInfoZELO&>(installer_->ProductInfo()); }
};

TEST_F(ZELOHostTest, ARunningPlayerTellsWhereItLivesWhenNothingIsRegistered) {
  HostDouble::AddWindow({u"TZELOMainForm", u"ZELO", 4242, u"D:\\Music\\ZELO\\ZELO.exe"});
  String path;
  EXPECT_TRUE(TProductInfoZELO::FindInstalledPath(path));
  EXPECT_EQ(path, u"D:\\Music\\ZELO\\");
}

TEST_F(ZELOHostTest, ARunningPlayerOfAnotherUserCannotBeAsked) {
  HostDouble::AddWindow({u"TZELOMainForm", u"ZELO", 4242, u""});
  String path;
  EXPECT_FALSE(TProductInfoZELO::FindInstalledPath(path));
}

TEST_F(ZELOHostTest, OlderWindowsNeedsNoShellCacheUpdate) {
  HostDouble::SetWindowsVersion({6, 1, 7601});
  CreateAutomatic();
  const std::vector<Kind> expected = {Kind::CloseApplications, Kind::Prepare,
                                      Kind::Extract,           Kind::Config,
                                      Kind::Integrate,         Kind::Shortcuts};
  EXPECT_EQ(Product().ActionKinds(), expected);
}

TEST_F(ZELOHostTest, AnInteractiveRussianRunOffersTheAddOns) {
  HostDouble::SetUserInterfaceLanguage(0x0419);
  Create(u"").Resources().InitializeLanguages();
  const std::vector<Kind> kinds = Product().ActionKinds();
  ASSERT_GE(kinds.size(), 3u);
  EXPECT_EQ(kinds[2], Kind::AddonsInstall);
  std::vector<String> pages;
  Product().PopulatePages([&](StringView page) { pages.emplace_back(page); });
  EXPECT_EQ(pages[3], u"TInstallerPageAddons");
}

TEST_F(ZELOHostTest, AutomaticRussianRunsHaveNoAddOns) {
  HostDouble::SetUserInterfaceLanguage(0x0419);
  CreateAutomatic().Resources().InitializeLanguages();
  for (const Kind kind : Product().ActionKinds()) EXPECT_NE(kind, Kind::AddonsInstall);
}

TEST_F(ZELOHostTest, TheUninstallerClosesThePlayerThenRemovesIntegrationAndFiles) {
  TSetupPackageBuilder builder;
  const std::string ini = "[Uninstall]\r\nCount=0\r\n";
  TMemoryStream content(std::vector<uint8_t>(ini.begin(), ini.end()));
  builder.AddFile(content, u"Uninstall.ini");
  builder.SaveToFile(folder_.PathOf(u"Uninstall.dat"), 4);
  const String saved_program = platform::GetProgramFileName();
  HostDouble::SetProgramFileName(folder_.PathOf(u"Uninstall.exe"));
  Create(u"");
  const std::vector<Kind> expected = {Kind::CloseApplications, Kind::UninstallIntegration,
                                      Kind::UninstallFiles};
  EXPECT_EQ(Product().ActionKinds(), expected);
  std::vector<String> pages;
  Product().PopulatePages([&](StringView page) { pages.emplace_back(page); });
  EXPECT_EQ(pages, std::vector<String>{u"TInstallerPageUninstallParams"});
  installer_.reset();
  HostDouble::SetProgramFileName(saved_program);
}

}  // namespace
