// A destination that stays locked: the user is asked, and each answer does what it says. Only
// the host double can answer the question without a person.
#include <gtest/gtest.h>

#include "core/installer_errors.h"
#include "core/installer_extract_helper.h"
#include "core/installer_resources.h"
#include "core/installer_test_fixture.h"
#include "platform/host_double.h"
#include "support/file_stream.h"

namespace {

using platform::HostDouble;

class LockedTarget : public InstallerTest {
 protected:
  void SetUp() override {
    InstallerTest::SetUp();
    CreateAutomatic().Resources().InitializeLanguages();
    HostDouble::TakeMessageBoxes();
    folder_.WriteFile(u"ZELO.exe", "old version");
    // Neither writable nor renamable while this is open.
    holder_ =
        std::make_unique<TFileStream>(folder_.PathOf(u"ZELO.exe"), fmOpenRead | fmShareDenyWrite);
  }
  std::unique_ptr<TStream> Open() {
    return installer_->ExtractHelper().CreateTargetStream(folder_.PathOf(u"ZELO.exe"), source_);
  }

  TMemoryStream source_{std::vector<uint8_t>{'n', 'e', 'w'}};
  std::unique_ptr<TFileStream> holder_;
};

TEST_F(LockedTarget, IgnoreSkipsTheFile) {
  HostDouble::AnswerNextMessageBox(platform::AnswerIgnore);
  EXPECT_EQ(Open(), nullptr);
  const auto boxes = HostDouble::TakeMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, u"The file " + folder_.PathOf(u"ZELO.exe") +
                               u" is in use.\r\nClose the program that uses it and press Retry.");
  EXPECT_EQ(boxes[0].Style, platform::MessageBoxAbortRetryIgnore | platform::MessageBoxIconWarning |
                                platform::MessageBoxDefaultButton2);
}

TEST_F(LockedTarget, RetryAsksAgainWhileTheFileStaysLocked) {
  HostDouble::AnswerNextMessageBox(platform::AnswerRetry);
  HostDouble::AnswerNextMessageBox(platform::AnswerRetry);
  HostDouble::AnswerNextMessageBox(platform::AnswerIgnore);
  EXPECT_EQ(Open(), nullptr);
  EXPECT_EQ(HostDouble::TakeMessageBoxes().size(), 3u);
}

TEST_F(LockedTarget, RetrySucceedsOnceTheUserHasFreedTheFile) {
  HostDouble::SetMessageBoxHandler([this](const HostDouble::MessageBoxRecord&) {
    holder_.reset();  // the user closed the program that held the file
    return platform::AnswerRetry;
  });
  auto stream = Open();
  HostDouble::SetMessageBoxHandler(nullptr);
  ASSERT_NE(stream, nullptr);
  stream->WriteBuffer("new", 3);
  stream.reset();
  EXPECT_EQ(HostDouble::TakeMessageBoxes().size(), 1u);
  EXPECT_EQ(folder_.ReadFile(u"ZELO.exe"), "new");
}

TEST_F(LockedTarget, AbortRaisesTheLocalizedText) {
  HostDouble::AnswerNextMessageBox(platform::AnswerAbort);
  try {
    Open();
    FAIL() << "expected EInstallerInstallError";
  } catch (const EInstallerInstallError& error) {
    EXPECT_EQ(error.Message(),
              u"The file " + folder_.PathOf(u"ZELO.exe") + u" could not be written.");
  }
}

// With boxes suppressed nobody is there to answer: a few tries, then the new file waits beside
// the old one for the restart, and the run says a restart is due.
class LockedTargetWithoutBoxes : public LockedTarget {
 protected:
  void SetUp() override {
    LockedTarget::SetUp();
    CreateAutomatic(u"/SILENT /SUPPRESSMSGBOXES").Resources().InitializeLanguages();
    HostDouble::UseVirtualTime(true);
    HostDouble::TakeRestartReplacements();
    HostDouble::TakePauses();
  }
  void TearDown() override {
    HostDouble::UseVirtualTime(false);
    LockedTarget::TearDown();
  }
};

TEST_F(LockedTargetWithoutBoxes, TheReplacementWaitsForTheRestart) {
  ASSERT_TRUE(installer_->MessageBoxesSuppressed());
  auto stream = Open();
  ASSERT_NE(stream, nullptr);
  stream->WriteBuffer("new", 3);
  stream.reset();
  // The holder had moments to let go first.
  EXPECT_EQ(HostDouble::TakePauses(), (std::vector<uint32_t>{1000, 1000, 1000, 1000}));
  EXPECT_TRUE(HostDouble::TakeMessageBoxes().empty());
  EXPECT_EQ(folder_.ReadFile(u"ZELO.exe"), "old version");
  EXPECT_EQ(folder_.ReadFile(u"ZELO.exe.new"), "new");
  const auto replacements = HostDouble::TakeRestartReplacements();
  ASSERT_EQ(replacements.size(), 1u);
  EXPECT_EQ(replacements[0].first, folder_.PathOf(u"ZELO.exe.new"));
  EXPECT_EQ(replacements[0].second, folder_.PathOf(u"ZELO.exe"));
  EXPECT_TRUE(installer_->RestartNeeded());
  EXPECT_EQ(installer_->ExtractHelper().FileInPlaceAfterRestart(folder_.PathOf(u"ZELO.exe")),
            folder_.PathOf(u"ZELO.exe.new"));
}

}  // namespace
