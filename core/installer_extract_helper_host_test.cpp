// A destination that stays locked: the user is asked, and each answer does what it says. A
// destination that fails for any other reason: the system's reason, and nothing half-written.
// Only the host double can answer the question without a person, or fill a disk on demand.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "core/installer_action_extract.h"
#include "core/installer_errors.h"
#include "core/installer_extract_helper.h"
#include "core/installer_resources.h"
#include "core/installer_test_fixture.h"
#include "platform/host_double.h"
#include "platform/os_error.h"
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
  // Writes "new" over ZELO.exe, as the extraction would; false when the file was skipped.
  bool Write() {
    return installer_->ExtractHelper().WriteTargetFile(
        folder_.PathOf(u"ZELO.exe"), [](TStream& file) { file.WriteBuffer("new", 3); });
  }

  std::unique_ptr<TFileStream> holder_;
};

TEST_F(LockedTarget, IgnoreSkipsTheFile) {
  HostDouble::AnswerNextMessageBox(platform::AnswerIgnore);
  EXPECT_FALSE(Write());
  EXPECT_EQ(folder_.ReadFile(u"ZELO.exe"), "old version");
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
  EXPECT_FALSE(Write());
  EXPECT_EQ(HostDouble::TakeMessageBoxes().size(), 3u);
}

TEST_F(LockedTarget, RetrySucceedsOnceTheUserHasFreedTheFile) {
  HostDouble::SetMessageBoxHandler([this](const HostDouble::MessageBoxRecord&) {
    holder_.reset();  // the user closed the program that held the file
    return platform::AnswerRetry;
  });
  EXPECT_TRUE(Write());
  HostDouble::SetMessageBoxHandler(nullptr);
  EXPECT_EQ(HostDouble::TakeMessageBoxes().size(), 1u);
  EXPECT_EQ(folder_.ReadFile(u"ZELO.exe"), "new");
}

TEST_F(LockedTarget, AbortRaisesTheLocalizedText) {
  HostDouble::AnswerNextMessageBox(platform::AnswerAbort);
  try {
    Write();
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
  EXPECT_TRUE(Write());
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
}

// A file that another program holds but lets be renamed, as Windows holds a running program: the
// old file moves aside to ".bak", which nobody needs once the new file is in place.
TEST_F(LockedTarget, TheFileMovedAsideIsDeletedAtTheRestart) {
  holder_ = TFileStream::TryOpen(folder_.PathOf(u"ZELO.exe"), platform::FileAccess::Read,
                                 platform::FileShareRead | platform::FileShareDelete,
                                 platform::FileCreation::OpenExisting);
  ASSERT_NE(holder_, nullptr);
  // Left by an earlier run: it must not keep this run's old file from moving aside.
  folder_.WriteFile(u"ZELO.exe.bak", "an even older version");
  HostDouble::TakeRestartDeletes();

  EXPECT_TRUE(Write());

  EXPECT_EQ(folder_.ReadFile(u"ZELO.exe"), "new");
  EXPECT_EQ(folder_.ReadFile(u"ZELO.exe.bak"), "old version");
  EXPECT_EQ(HostDouble::TakeRestartDeletes(), std::vector<String>{folder_.PathOf(u"ZELO.exe.bak")});
  EXPECT_TRUE(HostDouble::TakeMessageBoxes().empty());
  // The new file is in place now; only the leftover waits for the restart.
  EXPECT_FALSE(installer_->RestartNeeded());
}

// Failures that no waiting mends: the run ends with the file's name and the system's reason,
// nobody is asked whether the file is in use, and the file that was there stays as it was.
class FailingTarget : public InstallerTest {
 protected:
  void SetUp() override {
    InstallerTest::SetUp();
    CreateAutomatic().Resources().InitializeLanguages();
    HostDouble::TakeMessageBoxes();
    folder_.WriteFile(u"ZELO.exe", "old version");
  }
  void TearDown() override {
    HostDouble::ClearFileFailures();
    InstallerTest::TearDown();
  }
  // The message WriteTargetFile raised, or empty when it raised nothing.
  String FailingWrite(StringView name) {
    try {
      installer_->ExtractHelper().WriteTargetFile(folder_.PathOf(name), [](TStream& file) {
        // More than one write, so that a failure can come after some bytes went out.
        file.WriteBuffer("new ", 4);
        file.WriteBuffer("version", 7);
      });
    } catch (const EInstallerInstallError& error) {
      return error.Message();
    }
    return {};
  }
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.NativePath()))
      names.insert(entry.path().filename().string());
    return names;
  }
};

TEST_F(FailingTarget, TheMessageNamesTheFileAndTheSystemsReason) {
  using Operation = HostDouble::FileOperation;
  struct Case {
    const char* Title;
    Operation Failing;
    int Nth;
    uint32_t Error;
  };
  const Case cases[] = {
      {"the disk full after the first bytes", Operation::Write, 2, platform::ErrorDiskFull},
      {"the disk full at once", Operation::Write, 1, platform::ErrorDiskFull},
      {"no right to create a file in the folder", Operation::Open, 1, platform::ErrorAccessDenied},
      // Nobody holds the file: "access denied" is then what it says, not "in use".
      {"the replacement refused", Operation::Move, 1, platform::ErrorAccessDenied},
      {"the replacement failing otherwise", Operation::Move, 1, platform::ErrorDiskFull},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.Title);
    HostDouble::FailFileOperation(test.Failing, test.Nth, test.Error);
    EXPECT_EQ(FailingWrite(u"ZELO.exe"), u"The file " + folder_.PathOf(u"ZELO.exe") +
                                             u" could not be written.\r\n" +
                                             platform::SysErrorMessage(test.Error));
    HostDouble::ClearFileFailures();
    EXPECT_TRUE(HostDouble::TakeMessageBoxes().empty());
    EXPECT_EQ(folder_.ReadFile(u"ZELO.exe"), "old version");
    // Nothing half-written stays behind, under any name.
    EXPECT_EQ(Names(), std::set<std::string>{"ZELO.exe"});
  }
}

TEST_F(FailingTarget, AFolderInTheFilesPlaceIsNotAFileInUse) {
  std::filesystem::create_directory(folder_.NativePath(u"Skins"));
  EXPECT_EQ(FailingWrite(u"Skins"), u"The file " + folder_.PathOf(u"Skins") +
                                        u" could not be written.\r\n" +
                                        platform::SysErrorMessage(platform::ErrorAccessDenied));
  EXPECT_TRUE(HostDouble::TakeMessageBoxes().empty());
  EXPECT_TRUE(std::filesystem::is_directory(folder_.NativePath(u"Skins")));
  EXPECT_EQ(Names(), (std::set<std::string>{"Skins", "ZELO.exe"}));
}

// The uninstaller's two files are written the same way: a place that cannot take them ends the
// run naming the file, and leaves nothing half-written.
TEST_F(FailingTarget, TheUninstallerFilesAreWrittenWholeOrNotAtAll) {
  for (const char16_t* name : {u"Uninstall.exe", u"Uninstall.dat"}) {
    SCOPED_TRACE(StringToUtf8(name));
    std::filesystem::create_directory(folder_.NativePath(name));
    FakeProductInfo::State().Actions = {&TInstallerActionExtract::Class()};
    TInstaller& installer = CreateAutomatic();
    installer.Resources().InitializeLanguages();
    installer.Start(true);
    ASSERT_EQ(installer.Errors().Count(), 1);
    EXPECT_EQ(installer.Errors().Items(0),
              u"The file " + folder_.PathOf(name) + u" could not be written.\r\n" +
                  platform::SysErrorMessage(platform::ErrorAccessDenied));
    for (const std::string& left : Names()) {
      EXPECT_EQ(left.find(".tmp"), std::string::npos) << left;
    }
    std::filesystem::remove(folder_.NativePath(name));
  }
}

}  // namespace
