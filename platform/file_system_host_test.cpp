// What only the host double shows of the file system: running programs, the requests to delete
// at the next restart, and the order of a folder's listing.
#include <gtest/gtest.h>

#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/host_double.h"
#include "platform/os_error.h"
#include "tests/support/temporary_folder.h"

namespace {

using platform::HostDouble;

class FileSystemDouble : public testing::Test {
 protected:
  void SetUp() override {
    folder_.WriteFile(u"ZELO.exe", "program");
    HostDouble::TakeRestartDeletes();
    HostDouble::TakeRestartReplacements();
  }
  void TearDown() override {
    HostDouble::SetProgramRunning(folder_.PathOf(u"ZELO.exe"), false);
    HostDouble::SetProgramRunning(folder_.PathOf(u"ZELO.old"), false);
  }

  TemporaryFolder folder_;
};

TEST_F(FileSystemDouble, ARunningProgramCanBeRenamedButNotDeletedNorWritten) {
  HostDouble::SetProgramRunning(folder_.PathOf(u"ZELO.exe"), true);
  EXPECT_FALSE(platform::RemoveFile(folder_.PathOf(u"ZELO.exe")));
  EXPECT_EQ(platform::GetLastOSError(), platform::ErrorAccessDenied);
  EXPECT_FALSE(platform::File::Open(folder_.PathOf(u"ZELO.exe"), platform::FileAccess::Write,
                                    platform::FileShareRead | platform::FileShareWrite,
                                    platform::FileCreation::OpenExisting)
                   .IsOpen());
  EXPECT_EQ(platform::GetLastOSError(), platform::ErrorSharingViolation);

  // The usual way to replace a running program: rename it, then put the new file in its place.
  ASSERT_TRUE(platform::MovePath(folder_.PathOf(u"ZELO.exe"), folder_.PathOf(u"ZELO.old")));
  folder_.WriteFile(u"ZELO.exe", "new program");
  EXPECT_TRUE(platform::RemoveFile(folder_.PathOf(u"ZELO.exe")));
  EXPECT_FALSE(platform::RemoveFile(folder_.PathOf(u"ZELO.old")));
  EXPECT_EQ(platform::GetLastOSError(), platform::ErrorAccessDenied);

  HostDouble::SetProgramRunning(folder_.PathOf(u"ZELO.old"), false);
  EXPECT_TRUE(platform::RemoveFile(folder_.PathOf(u"ZELO.old")));
}

TEST_F(FileSystemDouble, RecordsDeletionsAtTheNextRestartAsFullPaths) {
  ASSERT_TRUE(platform::ScheduleDeleteAtRestart(folder_.PathOf(u"sub\\..\\ZELO.exe")));
  EXPECT_EQ(HostDouble::TakeRestartDeletes(), std::vector<String>{folder_.PathOf(u"ZELO.exe")});
  EXPECT_TRUE(HostDouble::TakeRestartDeletes().empty());
}

// The order matters at the restart: a later replacement of the same file wins.
TEST_F(FileSystemDouble, RecordsReplacementsAtTheNextRestartInOrderAsFullPaths) {
  folder_.WriteFile(u"ZELO.new", "new program");
  folder_.WriteFile(u"ZELO.old", "old program");
  ASSERT_TRUE(platform::ScheduleReplaceAtRestart(folder_.PathOf(u"sub\\..\\ZELO.new"),
                                                 folder_.PathOf(u"ZELO.exe")));
  ASSERT_TRUE(platform::ScheduleReplaceAtRestart(folder_.PathOf(u"ZELO.old"),
                                                 folder_.PathOf(u"sub\\..\\ZELO.exe")));
  using Pair = std::pair<String, String>;
  EXPECT_EQ(HostDouble::TakeRestartReplacements(),
            (std::vector<Pair>{{folder_.PathOf(u"ZELO.new"), folder_.PathOf(u"ZELO.exe")},
                               {folder_.PathOf(u"ZELO.old"), folder_.PathOf(u"ZELO.exe")}}));
  EXPECT_TRUE(HostDouble::TakeRestartReplacements().empty());
  EXPECT_TRUE(HostDouble::TakeRestartDeletes().empty()) << "a replacement is no deletion";
  EXPECT_EQ(folder_.ReadFile(u"ZELO.exe"), "program") << "nothing is replaced before the restart";

  // A replacement that is not there would leave the old file at the restart, unnoticed.
  EXPECT_FALSE(platform::ScheduleReplaceAtRestart(folder_.PathOf(u"missing.new"),
                                                  folder_.PathOf(u"ZELO.exe")));
  EXPECT_EQ(platform::GetLastOSError(), platform::ErrorFileNotFound);
  EXPECT_FALSE(platform::ScheduleReplaceAtRestart(folder_.Path(), folder_.PathOf(u"ZELO.exe")))
      << "a folder is no replacement for a file";
  EXPECT_TRUE(HostDouble::TakeRestartReplacements().empty());
}

TEST_F(FileSystemDouble, ListsAFolderByNameIgnoringCase) {
  folder_.WriteFile(u"b.txt", "");
  folder_.WriteFile(u"A.txt", "");
  folder_.WriteFile(u"c.txt", "");
  std::vector<platform::FolderEntry> entries;
  ASSERT_TRUE(platform::ListFolder(folder_.Path(), entries));
  std::vector<String> names;
  for (const auto& entry : entries) names.push_back(entry.Name);
  EXPECT_EQ(names, (std::vector<String>{u"A.txt", u"b.txt", u"c.txt", u"ZELO.exe"}));
}

}  // namespace
