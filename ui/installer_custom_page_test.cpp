#include "ui/installer_custom_page.h"

#include <gtest/gtest.h>

#include "core/installer_test_fixture.h"
#include "ui/test_page.h"

namespace {

struct SectionCase {
  StringView ClassName;
  StringView Section;
};

class PageSectionName : public testing::TestWithParam<SectionCase> {};

TEST_P(PageSectionName, IsTheClassNameWithoutItsPrefix) {
  EXPECT_EQ(GetPageSectionName(GetParam().ClassName), GetParam().Section);
  const TTestPage page(TInstallerPageKind::pkOrdinary, GetParam().ClassName);
  EXPECT_EQ(page.ClassName(), GetParam().ClassName);
  EXPECT_EQ(page.SectionName(), GetParam().Section);
}

INSTANTIATE_TEST_SUITE_P(
    Names, PageSectionName,
    testing::Values(SectionCase{u"TInstallerPageWelcome", u"PageWelcome"},
                    SectionCase{u"TInstallerPageUninstallFinish", u"PageUninstallFinish"},
                    SectionCase{u"TInstallerPageUninstallParams", u"PageUninstallParams"},
                    // Only a leading prefix goes, and a name without it is kept whole.
                    SectionCase{u"TPageTInstaller", u"TPageTInstaller"},
                    SectionCase{u"Page", u"Page"}, SectionCase{u"TInstaller", u""}));

class DefaultPage : public TInstallerCustomPage {
 public:
  DefaultPage() : TInstallerCustomPage(u"TInstallerPageDefault", TInstallerPageKind::pkOrdinary) {}
};

TEST(InstallerCustomPage, DefaultsLetTheUserMoveFreely) {
  DefaultPage page;
  page.Prepare();
  EXPECT_EQ(page.GetProgress(), 0);
  EXPECT_TRUE(page.CanGoBack());
  EXPECT_TRUE(page.CanGoNext());
  EXPECT_TRUE(page.IsAvailable());
}

struct KindCase {
  TInstallerPageKind Kind;
  bool FullScreen;
  bool Install;
  bool Uninstall;
};

class PageKind : public testing::TestWithParam<KindCase> {};

TEST_P(PageKind, UninstallPagesAreInstallPagesToo) {
  const TTestPage page(GetParam().Kind);
  EXPECT_EQ(page.IsFullScreen(), GetParam().FullScreen);
  EXPECT_EQ(page.IsInstallPage(), GetParam().Install);
  EXPECT_EQ(page.IsUninstallPage(), GetParam().Uninstall);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PageKind,
    testing::Values(KindCase{TInstallerPageKind::pkOrdinary, false, false, false},
                    KindCase{TInstallerPageKind::pkFullScreen, true, false, false},
                    KindCase{TInstallerPageKind::pkInstall, false, true, false},
                    KindCase{TInstallerPageKind::pkUninstall, false, true, true}));

using PageChanged = InstallerTest;

TEST_F(PageChanged, TellsTheInstallersListeners) {
  TTestPage page;
  page.Changed();  // no installer yet: nothing to tell

  TInstaller& installer = CreateAutomatic();
  RecordingListener listener;
  installer.AddListener(&listener);
  page.Changed();
  installer.RemoveListener(&listener);
  ASSERT_EQ(listener.Records.size(), 1u);
  EXPECT_EQ(listener.Records[0].Code, ncChanged);
  EXPECT_EQ(listener.Records[0].Param, 0);
}

}  // namespace
