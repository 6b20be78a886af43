#include "ui/wizard_close_rule.h"

#include <gtest/gtest.h>

namespace {

struct CloseCase {
  TInstallerState State;
  bool InsideNotification;
  bool AnswerOk;
  TWizardCloseDecision Decision;
  bool Asked;
  bool Stopped;
};

class WizardClose : public testing::TestWithParam<CloseCase> {};

TEST_P(WizardClose, AsksUnlessFinishedAndStopsTheWorkerBeforeClosing) {
  int asked = 0;
  int stopped = 0;
  const TWizardCloseCallbacks callbacks{[&](StringView key, uint32_t flags) {
                                          ++asked;
                                          EXPECT_EQ(key, u"QM");
                                          EXPECT_EQ(flags, 0x121u);
                                          EXPECT_EQ(stopped, 0);
                                          return GetParam().AnswerOk;
                                        },
                                        [&] { ++stopped; }};
  EXPECT_EQ(DecideWizardClose(GetParam().State, GetParam().InsideNotification, callbacks),
            GetParam().Decision);
  EXPECT_EQ(asked, GetParam().Asked ? 1 : 0);
  EXPECT_EQ(stopped, GetParam().Stopped ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    States, WizardClose,
    testing::Values(
        CloseCase{isIdle, false, true, TWizardCloseDecision::cdClose, true, true},
        CloseCase{isIdle, false, false, TWizardCloseDecision::cdKeepOpen, true, false},
        CloseCase{isRunning, false, true, TWizardCloseDecision::cdClose, true, true},
        CloseCase{isRunning, false, false, TWizardCloseDecision::cdKeepOpen, true, false},
        CloseCase{isFinished, false, false, TWizardCloseDecision::cdClose, false, true},
        // Waiting for the worker inside its own notification would never end.
        CloseCase{isRunning, true, true, TWizardCloseDecision::cdDefer, false, false},
        CloseCase{isFinished, true, true, TWizardCloseDecision::cdDefer, false, false}));

struct NotifyCase {
  int32_t Code;
  bool AutoRun;
  bool HasErrors;
  TWizardNotifyReaction Reaction;
};

class WizardNotify : public testing::TestWithParam<NotifyCase> {};

TEST_P(WizardNotify, ReactsAsTheFormShould) {
  EXPECT_EQ(GetWizardNotifyReaction(GetParam().Code, GetParam().AutoRun, GetParam().HasErrors),
            GetParam().Reaction);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, WizardNotify,
    testing::Values(
        // Only an automatic run without errors closes by itself; errors are shown first.
        NotifyCase{ncFinished, true, false, TWizardNotifyReaction::nrClose},
        NotifyCase{ncFinished, true, true, TWizardNotifyReaction::nrNextClick},
        NotifyCase{ncFinished, false, false, TWizardNotifyReaction::nrNextClick},
        NotifyCase{ncFinished, false, true, TWizardNotifyReaction::nrNextClick},
        NotifyCase{ncChanged, false, false, TWizardNotifyReaction::nrUpdateButtons},
        NotifyCase{ncRepaint, true, false, TWizardNotifyReaction::nrInvalidate},
        // The install page handles these.
        NotifyCase{ncProgress, true, false, TWizardNotifyReaction::nrIgnore},
        NotifyCase{ncStatusText, false, false, TWizardNotifyReaction::nrIgnore},
        NotifyCase{0, false, false, TWizardNotifyReaction::nrIgnore},
        NotifyCase{3, true, false, TWizardNotifyReaction::nrIgnore}));

}  // namespace
