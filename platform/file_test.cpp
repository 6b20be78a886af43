// Files and Windows' sharing rules. The same expectations hold for the real Windows API under
// Wine and for the host double, which is what keeps the double honest.
#include "platform/file.h"

#include <gtest/gtest.h>

#include "platform/os_error.h"
#include "tests/support/case_title.h"
#include "tests/support/temporary_folder.h"

namespace {

using platform::File;
using platform::FileAccess;
using platform::FileCreation;

class FileSharing : public testing::Test {
 protected:
  void SetUp() override { folder_.WriteFile(u"shared.txt", "content"); }

  File OpenShared(FileAccess access, unsigned share) {
    return File::Open(folder_.PathOf(u"shared.txt"), access, share, FileCreation::OpenExisting);
  }

  TemporaryFolder folder_;
};

struct SharingCase {
  const char* Title;
  FileAccess HolderAccess;
  unsigned HolderShare;
  FileAccess SecondAccess;
  unsigned SecondShare;
  bool SecondOpens;
};

class FileSharingRules : public FileSharing, public testing::WithParamInterface<SharingCase> {};

TEST_P(FileSharingRules, DecideWhetherASecondOpenSucceeds) {
  const SharingCase& rule = GetParam();
  File holder = OpenShared(rule.HolderAccess, rule.HolderShare);
  ASSERT_TRUE(holder.IsOpen());
  File second = OpenShared(rule.SecondAccess, rule.SecondShare);
  EXPECT_EQ(second.IsOpen(), rule.SecondOpens);
  if (!rule.SecondOpens) {
    EXPECT_EQ(platform::GetLastOSError(), platform::ErrorSharingViolation);
  }
}

constexpr unsigned ReadOnly = platform::FileShareRead;
constexpr unsigned ReadWrite = platform::FileShareRead | platform::FileShareWrite;

INSTANTIATE_TEST_SUITE_P(
    Cases, FileSharingRules,
    testing::Values(SharingCase{"ExclusiveHolderRefusesReaders", FileAccess::Read,
                                platform::FileShareNone, FileAccess::Read, ReadWrite, false},
                    SharingCase{"ReadSharingAdmitsReaders", FileAccess::Read, ReadOnly,
                                FileAccess::Read, ReadWrite, true},
                    SharingCase{"ReadSharingRefusesWriters", FileAccess::Read, ReadOnly,
                                FileAccess::Write, ReadWrite, false},
                    SharingCase{"NewOpenMustShareWhatTheHolderHolds", FileAccess::Write, ReadWrite,
                                FileAccess::Read, ReadOnly, false},
                    SharingCase{"FullSharingAdmitsWriters", FileAccess::ReadWrite, ReadWrite,
                                FileAccess::Write, ReadWrite, true}),
    CaseTitle());

TEST_F(FileSharing, ClosingTheHolderAdmitsTheNextOpen) {
  File holder = OpenShared(FileAccess::Read, platform::FileShareNone);
  ASSERT_TRUE(holder.IsOpen());
  holder.Close();
  EXPECT_TRUE(OpenShared(FileAccess::Write, platform::FileShareNone).IsOpen());
}

TEST_F(FileSharing, RefusedCreateDoesNotTruncate) {
  File holder = OpenShared(FileAccess::Read, ReadOnly);
  File writer = File::Open(folder_.PathOf(u"shared.txt"), FileAccess::Write, ReadWrite,
                           FileCreation::CreateAlways);
  EXPECT_FALSE(writer.IsOpen());
  holder.Close();
  EXPECT_EQ(folder_.ReadFile(u"shared.txt"), "content");
}

TEST(FileOpen, ReportsMissingFilesAndFolders) {
  TemporaryFolder folder;
  EXPECT_FALSE(
      File::Open(folder.PathOf(u"none.txt"), FileAccess::Read, ReadOnly, FileCreation::OpenExisting)
          .IsOpen());
  EXPECT_EQ(platform::GetLastOSError(), platform::ErrorFileNotFound);
  EXPECT_FALSE(File::Open(folder.PathOf(u"no\\such\\folder.txt"), FileAccess::Write, ReadOnly,
                          FileCreation::CreateAlways)
                   .IsOpen());
  EXPECT_EQ(platform::GetLastOSError(), platform::ErrorPathNotFound);
}

TEST(FileOpen, CreateNewRefusesAnExistingFile) {
  TemporaryFolder folder;
  folder.WriteFile(u"exists.txt", "x");
  EXPECT_FALSE(
      File::Open(folder.PathOf(u"exists.txt"), FileAccess::Write, ReadOnly, FileCreation::CreateNew)
          .IsOpen());
  EXPECT_EQ(platform::GetLastOSError(), platform::ErrorFileExists);
}

TEST(FileIo, WritesSeeksAndReads) {
  TemporaryFolder folder;
  File file = File::Open(folder.PathOf(u"io.bin"), FileAccess::ReadWrite, platform::FileShareNone,
                         FileCreation::CreateAlways);
  ASSERT_TRUE(file.IsOpen());
  size_t done = 0;
  ASSERT_TRUE(file.Write("abcdef", 6, done));
  EXPECT_EQ(done, 6u);
  int64_t position = -1;
  ASSERT_TRUE(file.Seek(-2, platform::SeekOrigin::End, position));
  EXPECT_EQ(position, 4);
  char buffer[4] = {};
  ASSERT_TRUE(file.Read(buffer, 4, done));
  EXPECT_EQ(done, 2u);
  EXPECT_EQ(std::string(buffer, 2), "ef");
  int64_t size = 0;
  ASSERT_TRUE(file.GetSize(size));
  EXPECT_EQ(size, 6);
}

TEST(FileIo, MovedFromFileIsClosed) {
  TemporaryFolder folder;
  File first = File::Open(folder.PathOf(u"move.bin"), FileAccess::Write, platform::FileShareNone,
                          FileCreation::CreateAlways);
  File second = std::move(first);
  EXPECT_FALSE(
      first.IsOpen());  // NOLINT(bugprone-use-after-move): the moved-from state is the point
  EXPECT_TRUE(second.IsOpen());
}

}  // namespace
