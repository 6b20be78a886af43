#include "ui/wizard_buttons.h"

#include <gtest/gtest.h>

#include "ui/test_page.h"

namespace {

// The interactive installation: welcome, licence (accepted), setup, add-ons, integration,
// ready, install (running), finish. Back is forbidden on the licence, install and finish pages.
enum InstallPage : size_t { Welcome, License, Setup, Addons, Integration, Ready, Install, Finish };

class InstallWizard : public testing::Test {
 protected:
  void SetUp() override {
    AddTestPages(pages_, "F+++++IF");
    for (const size_t index : {License, Install, Finish}) TestPageAt(pages_, index).Back = false;
    TestPageAt(pages_, Install).Next = false;
  }

  TTestPage& Page(size_t index) { return TestPageAt(pages_, index); }

  TInstallerPageList pages_;
};

struct ButtonCase {
  size_t Active;
  bool BackVisible;
  bool NextEnabled;
  StringView NextCaptionKey;
};

class InstallWizardButtons : public InstallWizard,
                             public testing::WithParamInterface<ButtonCase> {};

TEST_P(InstallWizardButtons, FollowTheActivePage) {
  const TWizardButtonState buttons = GetWizardButtonState(pages_, &Page(GetParam().Active), isIdle);
  EXPECT_EQ(buttons.BackVisible, GetParam().BackVisible);
  EXPECT_EQ(buttons.NextEnabled, GetParam().NextEnabled);
  EXPECT_EQ(buttons.NextCaptionKey, GetParam().NextCaptionKey);
  EXPECT_TRUE(buttons.CloseEnabled);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, InstallWizardButtons,
    testing::Values(ButtonCase{Welcome, false, true, u"bNext"},
                    ButtonCase{License, false, true, u"bNext"},
                    ButtonCase{Setup, true, true, u"bNext"},
                    ButtonCase{Integration, true, true, u"bNext"},
                    ButtonCase{Ready, true, true, u"bInstall"},
                    // Running: Next waits for the end of the run and leads to the finish page.
                    ButtonCase{Install, false, false, u"bNext"},
                    // The last page may always be left: Next closes the wizard.
                    ButtonCase{Finish, false, true, u"bFinish"}));

TEST_F(InstallWizard, AnUnacceptedLicenceDisablesNext) {
  Page(License).Next = false;
  EXPECT_FALSE(GetWizardButtonState(pages_, &Page(License), isIdle).NextEnabled);
  EXPECT_EQ(GetNextClickMove(pages_, &Page(License)), TWizardMove{});
}

TEST_F(InstallWizard, ASkippedIntegrationPageIsJumpedBothWays) {
  Page(Integration).Available = false;
  EXPECT_EQ(GetNextClickMove(pages_, &Page(Addons)),
            (TWizardMove{TWizardStep::wsMove, &Page(Ready)}));
  EXPECT_EQ(GetBackClickMove(pages_, &Page(Ready)),
            (TWizardMove{TWizardStep::wsMove, &Page(Addons)}));
}

TEST_F(InstallWizard, TheEndOfTheRunOpensTheWayToTheFinishPage) {
  Page(Install).Next = true;
  const TWizardButtonState buttons = GetWizardButtonState(pages_, &Page(Install), isFinished);
  EXPECT_TRUE(buttons.NextEnabled);
  EXPECT_FALSE(buttons.BackVisible);
  // After the run only Finish leaves the wizard.
  EXPECT_FALSE(buttons.CloseEnabled);
  EXPECT_EQ(GetNextClickMove(pages_, &Page(Install)),
            (TWizardMove{TWizardStep::wsMove, &Page(Finish)}));
  EXPECT_EQ(GetNextClickMove(pages_, &Page(Finish)), TWizardMove{TWizardStep::wsClose});
  EXPECT_EQ(GetBackClickMove(pages_, &Page(Finish)), TWizardMove{});
}

TEST(WizardButtons, TheUninstallWizardAsksToUninstall) {
  TInstallerPageList pages;
  AddTestPages(pages, "+UF");
  EXPECT_EQ(GetWizardButtonState(pages, &pages[0], isIdle).NextCaptionKey, u"bUninstall");
  EXPECT_EQ(GetWizardButtonState(pages, &pages[1], isRunning).NextCaptionKey, u"bNext");
}

TEST(WizardButtons, NothingToDoBeforeTheFirstPageIsShown) {
  TInstallerPageList pages;
  AddTestPages(pages, "IF");
  const TWizardButtonState buttons = GetWizardButtonState(pages, nullptr, isIdle);
  EXPECT_FALSE(buttons.BackVisible);
  EXPECT_FALSE(buttons.NextEnabled);
  EXPECT_EQ(GetNextClickMove(pages, nullptr), TWizardMove{});
  EXPECT_EQ(GetBackClickMove(pages, nullptr), TWizardMove{});
}

struct CaptionCase {
  const char* Pattern;  // one page, see AddTestPages; empty: no next page
  StringView Key;
};

class NextCaption : public testing::TestWithParam<CaptionCase> {};

TEST_P(NextCaption, FollowsThePageThatComesNext) {
  TInstallerPageList pages;
  AddTestPages(pages, GetParam().Pattern);
  EXPECT_EQ(GetNextCaptionKey(pages.First()), GetParam().Key);
}

INSTANTIATE_TEST_SUITE_P(Kinds, NextCaption,
                         testing::Values(CaptionCase{"", u"bFinish"},
                                         CaptionCase{"U", u"bUninstall"},
                                         CaptionCase{"I", u"bInstall"}, CaptionCase{"+", u"bNext"},
                                         CaptionCase{"F", u"bNext"}));

}  // namespace
