// File attributes: setting, reporting and clearing them. The same expectations hold for the
// Windows API under Wine and for the host double.
#include "platform/file_attributes.h"

#include <gtest/gtest.h>

#include "platform/file.h"
#include "platform/os_error.h"
#include "tests/support/temporary_folder.h"

namespace {

using platform::File;
using platform::FileAccess;
using platform::FileCreation;

constexpr unsigned ShareAll = platform::FileShareRead | platform::FileShareWrite;

class FileAttributes : public testing::Test {
 protected:
  void SetUp() override { folder_.WriteFile(u"file.ini", "content"); }
  // Leaves nothing read-only behind for the folder's removal.
  void TearDown() override {
    // A test may have removed the file; the folder's removal then has nothing to trip over.
    static_cast<void>(platform::SetFileAttributeFlags(Path(), platform::FileAttributeNormal));
  }

  String Path() const { return folder_.PathOf(u"file.ini"); }
  uint32_t Attributes() const { return platform::GetFileAttributeFlags(Path()); }
  File Open(FileAccess access, FileCreation creation) const {
    return File::Open(Path(), access, ShareAll, creation);
  }

  TemporaryFolder folder_;
};

TEST_F(FileAttributes, ReadOnlyAndHiddenAreReportedUntilCleared) {
  ASSERT_TRUE(platform::SetFileAttributeFlags(Path(), platform::FileAttributeReadOnly));
  EXPECT_EQ(Attributes() & (platform::FileAttributeHidden | platform::FileAttributeReadOnly),
            platform::FileAttributeReadOnly);
  ASSERT_TRUE(platform::SetFileAttributeFlags(
      Path(), platform::FileAttributeReadOnly | platform::FileAttributeHidden));
  EXPECT_EQ(Attributes() & (platform::FileAttributeHidden | platform::FileAttributeReadOnly),
            platform::FileAttributeReadOnly | platform::FileAttributeHidden);
  EXPECT_TRUE(Open(FileAccess::Read, FileCreation::OpenExisting).IsOpen());

  ASSERT_TRUE(platform::SetFileAttributeFlags(Path(), platform::FileAttributeNormal));
  EXPECT_EQ(Attributes() & (platform::FileAttributeHidden | platform::FileAttributeReadOnly), 0u);
  EXPECT_TRUE(Open(FileAccess::ReadWrite, FileCreation::CreateAlways).IsOpen());
}

TEST_F(FileAttributes, FoldersAreReportedAsFolders) {
  const uint32_t attributes = platform::GetFileAttributeFlags(folder_.Path());
  ASSERT_NE(attributes, platform::InvalidFileAttributes);
  EXPECT_EQ(attributes & platform::FileAttributeDirectory, platform::FileAttributeDirectory);
  EXPECT_EQ(Attributes() & platform::FileAttributeDirectory, 0u);
}

TEST_F(FileAttributes, MissingFileHasNoAttributes) {
  const String missing = folder_.PathOf(u"missing.ini");
  EXPECT_EQ(platform::GetFileAttributeFlags(missing), platform::InvalidFileAttributes);
  EXPECT_EQ(platform::GetLastOSError(), platform::ErrorFileNotFound);
  EXPECT_FALSE(platform::SetFileAttributeFlags(missing, platform::FileAttributeNormal));
  EXPECT_EQ(platform::GetLastOSError(), platform::ErrorFileNotFound);
}

TEST_F(FileAttributes, LongPathsWork) {
  String folder = folder_.Path();
  while (folder.size() < 280) folder += u"long-folder-name\\";
  folder_.WriteFile(folder.substr(folder_.Path().size()) + u"deep.ini", "x");
  const String deep = folder + u"deep.ini";
  ASSERT_GE(deep.size(), 260u);
  ASSERT_TRUE(platform::SetFileAttributeFlags(deep, platform::FileAttributeReadOnly));
  EXPECT_EQ(platform::GetFileAttributeFlags(deep) & platform::FileAttributeReadOnly,
            platform::FileAttributeReadOnly);
  ASSERT_TRUE(platform::SetFileAttributeFlags(deep, platform::FileAttributeNormal));
}

}  // namespace
