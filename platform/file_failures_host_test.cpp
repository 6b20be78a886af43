// The host double's injected file failures: the chosen call of a kind fails with the chosen
// error and changes nothing; the calls before and after it, and other kinds, work.
#include <gtest/gtest.h>

#include <functional>

#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/host_double.h"
#include "platform/os_error.h"
#include "tests/support/case_title.h"
#include "tests/support/temporary_folder.h"

namespace {

using platform::File;
using platform::FileAccess;
using platform::FileCreation;
using platform::HostDouble;
using Operation = HostDouble::FileOperation;

// One call of the operation on file Name (which holds "old"), and whether it succeeded.
using Action = std::function<bool(const TemporaryFolder& folder, const String& name)>;

bool OpenForWriting(const TemporaryFolder& folder, const String& name) {
  return File::Open(folder.PathOf(name), FileAccess::Write, platform::FileShareRead,
                    FileCreation::CreateAlways)
      .IsOpen();
}

bool ReadSome(const TemporaryFolder& folder, const String& name) {
  File file = File::Open(folder.PathOf(name), FileAccess::Read, platform::FileShareRead,
                         FileCreation::OpenExisting);
  char buffer[8];
  size_t read = 0;
  return file.Read(buffer, sizeof(buffer), read) && read == 3;
}

bool WriteSome(const TemporaryFolder& folder, const String& name) {
  File file = File::Open(folder.PathOf(name), FileAccess::Write, platform::FileShareRead,
                         FileCreation::OpenExisting);
  size_t written = 0;
  return file.Write("new", 3, written);
}

bool Move(const TemporaryFolder& folder, const String& name) {
  return platform::MovePath(folder.PathOf(name), folder.PathOf(name + u".moved"));
}

bool MoveReplacing(const TemporaryFolder& folder, const String& name) {
  folder.WriteFile(name + u".target", "target");
  return platform::MoveFileReplacing(folder.PathOf(name), folder.PathOf(name + u".target"));
}

bool Delete(const TemporaryFolder& folder, const String& name) {
  return platform::RemoveFile(folder.PathOf(name));
}

struct FailureCase {
  const char* Title;
  Operation Kind;
  Action Act;
};

class FileFailures : public testing::TestWithParam<FailureCase> {
 protected:
  void TearDown() override { HostDouble::ClearFileFailures(); }

  // The file as it was, and nothing made beside it.
  void ExpectUntouched(const String& name) {
    EXPECT_EQ(folder_.ReadFile(name), "old");
    EXPECT_FALSE(platform::FileExists(folder_.PathOf(name + u".moved")));
    if (platform::FileExists(folder_.PathOf(name + u".target"))) {
      EXPECT_EQ(folder_.ReadFile(name + u".target"), "target");
    }
  }

  TemporaryFolder folder_;
};

TEST_P(FileFailures, OnlyTheChosenCallFailsAndItChangesNothing) {
  for (const char16_t* name : {u"first", u"second", u"third"}) folder_.WriteFile(name, "old");
  HostDouble::FailFileOperation(GetParam().Kind, 2, platform::ErrorDiskFull);

  EXPECT_TRUE(GetParam().Act(folder_, u"first"));
  platform::SetLastOSError(platform::ErrorSuccess);
  EXPECT_FALSE(GetParam().Act(folder_, u"second"));
  EXPECT_EQ(platform::GetLastOSError(), platform::ErrorDiskFull);
  ExpectUntouched(u"second");
  EXPECT_TRUE(GetParam().Act(folder_, u"third"));
}

TEST_P(FileFailures, ClearingForgetsThem) {
  folder_.WriteFile(u"file", "old");
  HostDouble::FailFileOperation(GetParam().Kind, 1, platform::ErrorAccessDenied);
  HostDouble::ClearFileFailures();
  EXPECT_TRUE(GetParam().Act(folder_, u"file"));
}

INSTANTIATE_TEST_SUITE_P(Cases, FileFailures,
                         testing::Values(FailureCase{"Open", Operation::Open, OpenForWriting},
                                         FailureCase{"Read", Operation::Read, ReadSome},
                                         FailureCase{"Write", Operation::Write, WriteSome},
                                         FailureCase{"Move", Operation::Move, Move},
                                         FailureCase{"MoveReplacing", Operation::Move,
                                                     MoveReplacing},
                                         FailureCase{"Delete", Operation::Delete, Delete}),
                         CaseTitle());

TEST(FileFailureKinds, AreCountedApart) {
  const TemporaryFolder folder;
  folder.WriteFile(u"a", "a");
  folder.WriteFile(u"b", "b");
  HostDouble::FailFileOperation(Operation::Move, 1, platform::ErrorSharingViolation);
  EXPECT_TRUE(platform::RemoveFile(folder.PathOf(u"a")));
  EXPECT_EQ(folder.ReadFile(u"b"), "b");
  EXPECT_FALSE(platform::MovePath(folder.PathOf(u"b"), folder.PathOf(u"c")));
  EXPECT_EQ(platform::GetLastOSError(), platform::ErrorSharingViolation);
  EXPECT_TRUE(platform::MovePath(folder.PathOf(u"b"), folder.PathOf(u"c")));
}

}  // namespace
