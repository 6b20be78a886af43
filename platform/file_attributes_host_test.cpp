// What read-only and hidden files refuse in the host double, as they do on Windows. (Wine run
// as root lets both through, so these expectations live in a host test.)
#include <gtest/gtest.h>

#include "platform/file.h"
#include "platform/file_attributes.h"
#include "platform/os_error.h"
#include "tests/support/temporary_folder.h"

namespace {

using platform::File;
using platform::FileAccess;
using platform::FileCreation;

constexpr unsigned ShareAll = platform::FileShareRead | platform::FileShareWrite;

class RestrictiveAttributes : public testing::Test {
 protected:
  void SetUp() override { folder_.WriteFile(u"file.ini", "content"); }
  void TearDown() override {
    // A test may have removed the file; the folder's removal then has nothing to trip over.
    static_cast<void>(platform::SetFileAttributeFlags(Path(), platform::FileAttributeNormal));
  }

  String Path() const { return folder_.PathOf(u"file.ini"); }
  File Open(FileAccess access, FileCreation creation) const {
    return File::Open(Path(), access, ShareAll, creation);
  }

  TemporaryFolder folder_;
};

TEST_F(RestrictiveAttributes, ReadOnlyRefusesWritersButNotReaders) {
  ASSERT_TRUE(platform::SetFileAttributeFlags(Path(), platform::FileAttributeReadOnly));
  EXPECT_TRUE(Open(FileAccess::Read, FileCreation::OpenExisting).IsOpen());
  EXPECT_FALSE(Open(FileAccess::Write, FileCreation::OpenExisting).IsOpen());
  EXPECT_EQ(platform::GetLastOSError(), platform::ErrorAccessDenied);
  EXPECT_FALSE(Open(FileAccess::ReadWrite, FileCreation::CreateAlways).IsOpen());
  EXPECT_EQ(folder_.ReadFile(u"file.ini"), "content");
}

TEST_F(RestrictiveAttributes, HiddenRefusesToBeReplacedButNotToBeWritten) {
  ASSERT_TRUE(platform::SetFileAttributeFlags(Path(), platform::FileAttributeHidden));
  EXPECT_TRUE(Open(FileAccess::Write, FileCreation::OpenExisting).IsOpen());
  EXPECT_FALSE(Open(FileAccess::ReadWrite, FileCreation::CreateAlways).IsOpen());
  EXPECT_EQ(platform::GetLastOSError(), platform::ErrorAccessDenied);
  EXPECT_EQ(folder_.ReadFile(u"file.ini"), "content");
}

}  // namespace
