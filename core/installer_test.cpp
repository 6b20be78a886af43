// The installer object: modes and options from the command line, the destination, the run on
// the worker thread with its notifications, cancellation and failures. These hold for the real
// Windows message window under Wine as for the host double.
#include "core/installer.h"

#include <gtest/gtest.h>

#include "core/installer_errors.h"
#include "core/installer_resources.h"
#include "core/installer_summary_builder.h"
#include "core/installer_test_fixture.h"
#include "core/installer_thread.h"
#include "tests/support/case_title.h"

namespace {

struct CommandLineCase {
  const char* Title;
  String Switches;  // "$DIR" stands for the test's folder
  int32_t InstalledVersion;
  bool InstalledPortable;
  TInstallerOptions Options;
  bool DestIsTestFolder;
};

constexpr TInstallerOptions Auto = OptionBit(ioAuto), Portable = OptionBit(ioPortable),
                            Update = OptionBit(ioUpdate), Silent = OptionBit(ioSilent),
                            Run = OptionBit(ioRun), NoBackup = OptionBit(ioNoBackup);

class InstallerCommandLine : public InstallerTest,
                             public testing::WithParamInterface<CommandLineCase> {};

TEST_P(InstallerCommandLine, DecidesOptionsAndDestination) {
  const CommandLineCase& line = GetParam();
  FakeProductInfo::State().InstalledVersion = line.InstalledVersion;
  FakeProductInfo::State().Portable = line.InstalledPortable;
  String switches = line.Switches;
  if (const size_t at = switches.find(u"$DIR"); at != String::npos) {
    switches.replace(at, 4, folder_.Path());
  }
  TInstaller& installer = Create(switches);
  // As Start does before the run: a portable choice inside a program-files folder goes.
  installer.ValidateOptions();
  EXPECT_EQ(installer.Mode(), imInstall);
  EXPECT_EQ(installer.Options(), line.Options);
  if (line.DestIsTestFolder) {
    EXPECT_EQ(installer.DestPath(), folder_.Path());
  } else {
    EXPECT_EQ(installer.DestPath(), installer.Resources().ProgramFilesFolder() + u"ZELO\\");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InstallerCommandLine,
    testing::Values(
        CommandLineCase{"NoSwitchesDefaultFolderNothingInstalled", u"", 0, false, 0, false},
        CommandLineCase{"NoSwitchesDefaultFolderUpdatable", u"", 4512, false, Update, false},
        CommandLineCase{"AutoWithFolder", u"/AUTO=\"$DIR\"", 0, false, Auto, true},
        CommandLineCase{"AutoWithoutValueTakesTheDefault", u"/AUTO", 0, false, Auto, false},
        CommandLineCase{"AutoSilent", u"/AUTO=\"$DIR\" /SILENT", 0, false, Auto | Silent, true},
        CommandLineCase{"SilentWithoutAutoIsIgnored", u"/SILENT", 0, false, 0, false},
        CommandLineCase{"RunAndNoBackup", u"/auto=\"$DIR\" /run /NoBackup", 0, false,
                        Auto | Run | NoBackup, true},
        CommandLineCase{"Portable", u"/AUTO=\"$DIR\" /PORTABLE", 0, false, Auto | Portable, true},
        CommandLineCase{"PortableInProgramFilesIsCleared", u"/AUTO /PORTABLE", 0, false, Auto,
                        false},
        CommandLineCase{"UpdateAcceptedIgnoresSilent", u"/AUTO=\"$DIR\" /UPDATE /SILENT", 4512,
                        false, Auto | Update, true},
        CommandLineCase{"UpdateAcceptedIgnoresPortable", u"/AUTO=\"$DIR\" /UPDATE /PORTABLE", 4512,
                        false, Auto | Update, true},
        CommandLineCase{"UpdatableNotPortableKeepsThePortableChoice", u"/AUTO=\"$DIR\" /PORTABLE",
                        4512, false, Auto | Update | Portable, true},
        CommandLineCase{"UpdatableWithoutUpdateSwitch", u"/AUTO=\"$DIR\" /SILENT", 4512, false,
                        Auto | Update | Silent, true},
        CommandLineCase{"UpdatablePortableStaysPortable", u"/AUTO=\"$DIR\"", 4512, true,
                        Auto | Update | Portable, true}),
    CaseTitle());

TEST_F(InstallerTest, UpdateWithoutAnInstallationIsRefusedWithTheVersionFound) {
  FakeProductInfo::State().InstalledVersion = 0;
  try {
    CreateAutomatic(u"/UPDATE");
    FAIL() << "expected EInstallerUpdateError";
  } catch (const EInstallerUpdateError& error) {
    EXPECT_EQ(error.Message(), u"Cannot install update on v0.00");
  }
  EXPECT_EQ(Installer, nullptr);
}

TEST_F(InstallerTest, SetDestPathNormalizesAndReloadsOnlyOnChange) {
  TInstaller& installer = CreateAutomatic();
  const int loads = FakeProductInfo::State().LoadCount;
  installer.SetDestPath(folder_.Path());
  EXPECT_EQ(FakeProductInfo::State().LoadCount, loads);

  installer.SetDestPath(folder_.Path() + u"sub\\.\\ZELO");
  EXPECT_EQ(installer.DestPath(), folder_.Path() + u"sub\\ZELO\\");
  EXPECT_EQ(FakeProductInfo::State().LoadCount, loads + 1);
}

TEST_F(InstallerTest, FixedOptionsCannotChangeOthersAreValidated) {
  TInstaller& installer = CreateAutomatic();
  try {
    installer.SetOption(ioSilent, true);
    FAIL() << "expected EInstallerMysteryError";
  } catch (const EInstallerMysteryError& error) {
    EXPECT_EQ(error.Message(), u"Invalid Arguments");
  }
  EXPECT_THROW(installer.SetOption(ioAuto, false), EInstallerMysteryError);
  installer.SetOption(ioNoBackup, true);
  EXPECT_TRUE(installer.HasOption(ioNoBackup));
  // Nothing updatable at the destination: the option does not stick.
  installer.SetOption(ioUpdate, true);
  EXPECT_FALSE(installer.HasOption(ioUpdate));
  installer.SetOption(42, true);  // indexes beyond the byte change nothing
  EXPECT_FALSE(installer.HasOption(42));
}

class InstallerRun : public InstallerTest {
 protected:
  void UseThreeActions() {
    FakeProductInfo::State().Actions = {&TInstallerActionClass::Of<ScriptedAction<0>>(),
                                        &TInstallerActionClass::Of<ScriptedAction<1>>(),
                                        &TInstallerActionClass::Of<ScriptedAction<2>>()};
  }
  std::vector<intptr_t> ParamsOf(int32_t code) const {
    std::vector<intptr_t> params;
    for (const auto& record : listener_.Records) {
      if (record.Code == code) params.push_back(record.Param);
    }
    return params;
  }
  RecordingListener listener_;
};

TEST_F(InstallerRun, ThreeActionsReportProgressOnTheMainThreadAndFinish) {
  UseThreeActions();
  ScriptedAction<1>::Body() = [](TInstallerAction& action) {
    action.SetStatus(u"Copying files...");
    action.SetProgress(50);
    action.SetProgress(50);  // unchanged: reported once
  };
  TInstaller& installer = CreateAutomatic();
  installer.AddListener(&listener_);
  installer.Start(true);

  EXPECT_EQ(installer.State(), isFinished);
  EXPECT_FALSE(installer.HasErrors());
  for (const auto& record : listener_.Records) {
    EXPECT_EQ(record.Thread, std::this_thread::get_id()) << "notification " << record.Code;
  }
  // (average shl 16) or current, whenever an action starts or moves; 100 at every end.
  const std::vector<intptr_t> expected = {(0 << 16) | 0,    (33 << 16) | 100, (33 << 16) | 0,
                                          (50 << 16) | 50,  (66 << 16) | 100, (66 << 16) | 0,
                                          (100 << 16) | 100};
  EXPECT_EQ(ParamsOf(ncProgress), expected);
  EXPECT_EQ(ParamsOf(ncRepaint).size(), expected.size());
  EXPECT_EQ(ParamsOf(ncFinished), std::vector<intptr_t>{0});
  ASSERT_EQ(ParamsOf(ncStatusText).size(), 1u);
  for (const auto& record : listener_.Records) {
    if (record.Code == ncStatusText) {
      EXPECT_EQ(record.Text, u"Copying files...");
    }
  }
  EXPECT_EQ(listener_.Records.back().Code, ncFinished);
}

TEST_F(InstallerRun, NoActionsSendOnlyFinished) {
  TInstaller& installer = CreateAutomatic();
  installer.AddListener(&listener_);
  installer.Start(true);
  ASSERT_EQ(listener_.Records.size(), 1u);
  EXPECT_EQ(listener_.Records[0].Code, ncFinished);
  EXPECT_EQ(listener_.Records[0].Param, 0);
}

TEST_F(InstallerRun, AFailingActionEndsTheRunWithOneError) {
  UseThreeActions();
  bool third_ran = false;
  ScriptedAction<1>::Body() = [](TInstallerAction&) {
    throw EInstallerInstallError(u"disk is full");
  };
  ScriptedAction<2>::Body() = [&](TInstallerAction&) { third_ran = true; };
  TInstaller& installer = CreateAutomatic();
  installer.AddListener(&listener_);
  installer.Start(true);

  EXPECT_FALSE(third_ran);
  ASSERT_EQ(installer.Errors().Count(), 1);
  EXPECT_EQ(installer.Errors().Items(0), u"disk is full");
  EXPECT_EQ(ParamsOf(ncFinished), std::vector<intptr_t>{0});
}

TEST_F(InstallerRun, StoppingDuringTheSecondActionLetsItFinishAndRunsNoThird) {
  UseThreeActions();
  std::atomic<bool> second_started{false};
  bool third_ran = false;
  ScriptedAction<1>::Body() = [&](TInstallerAction&) {
    second_started = true;
    while (!ScriptedAction<1>::Cancelled())
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  };
  ScriptedAction<2>::Body() = [&](TInstallerAction&) { third_ran = true; };
  TInstaller& installer = CreateAutomatic();
  installer.Resources().InitializeLanguages();
  installer.AddListener(&listener_);
  installer.Start(false);
  ServeUntil([&] { return second_started.load(); });
  installer.StopThread();

  EXPECT_FALSE(third_ran);
  EXPECT_EQ(installer.State(), isFinished);
  EXPECT_EQ(ParamsOf(ncFinished), std::vector<intptr_t>{1});
  ASSERT_EQ(installer.Errors().Count(), 1);
  EXPECT_EQ(installer.Errors().Items(0), installer.Resources().GetString(u"Common", u"E4"));
  EXPECT_EQ(installer.Errors().Items(0), u"Installation was cancelled.");
}

// An action that describes itself for the ready-to-install page.
class DescribedAction : public TInstallerAction {
 public:
  static constexpr const char16_t* ClassName = u"DescribedAction";
  void Execute() override {}
  void BuildSummary(TInstallerSummaryBuilder& builder) override {
    builder.SetHeading(u"Shortcuts:");
    builder.AddItem(u"Desktop");
  }
};

TEST_F(InstallerRun, TheSummaryIsWrittenByTheActionsOfTheRun) {
  FakeProductInfo::State().Actions = {&TInstallerActionClass::Of<ScriptedAction<0>>(),
                                      &TInstallerActionClass::Of<DescribedAction>()};
  CreateAutomatic();
  EXPECT_EQ(TInstallerSummaryBuilder::BuildForCurrentRun(), u"Shortcuts:\r\n    Desktop\r\n");
}

TEST_F(InstallerRun, ARunStartsOnce) {
  UseThreeActions();
  int runs = 0;
  ScriptedAction<0>::Body() = [&](TInstallerAction&) { ++runs; };
  TInstaller& installer = CreateAutomatic();
  installer.Start(true);
  installer.Start(true);
  EXPECT_EQ(runs, 1);
}

TEST_F(InstallerRun, ListenersAreToldNewestFirstAndMayLeave) {
  TInstaller& installer = CreateAutomatic();
  std::vector<int> order;
  struct OrderListener : IInstallerNotify {
    std::vector<int>* Order;
    int Id;
    void Notify(int32_t, intptr_t) override { Order->push_back(Id); }
  } first, second;
  first.Order = second.Order = &order;
  first.Id = 1;
  second.Id = 2;
  installer.AddListener(&first);
  installer.AddListener(&second);
  installer.SendNotification(ncChanged, 0);
  installer.RemoveListener(&second);
  installer.SendNotification(ncChanged, 0);
  EXPECT_EQ(order, (std::vector<int>{2, 1, 1}));
}

TEST_F(InstallerRun, TextFromAnotherSenderIsIgnored) {
  TInstaller& installer = CreateAutomatic();
  installer.AddListener(&listener_);
  const String text = u"spoofed";
  platform::SendCopyData(installer.MessageWindowHandle(), nullptr, ncStatusText, text.data(),
                         static_cast<uint32_t>(text.size() * 2));
  EXPECT_TRUE(listener_.Records.empty());
  installer.SendText(ncStatusText, u"genuine");
  ASSERT_EQ(listener_.Records.size(), 1u);
  EXPECT_EQ(listener_.Records[0].Text, u"genuine");
}

}  // namespace
