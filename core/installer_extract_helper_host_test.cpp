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

}  // namespace
