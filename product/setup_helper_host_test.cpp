// The file removal when a file is in use, which only the host double can arrange: a running
// program's file, a file held open, a temporary folder that cannot give a name.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "platform/exception.h"
#include "platform/file.h"
#include "platform/file_name.h"
#include "platform/host_double.h"
#include "product/setup_helper.h"
#include "tests/support/temporary_folder.h"

namespace {

using platform::HostDouble;

class SetupHelperHostTest : public testing::Test {
 protected:
  void SetUp() override {
    HostDouble::SetEnvironmentValue(u"TMP", folder_.PathOf(u"Temp"));
    std::filesystem::create_directories(folder_.NativePath(u"Temp"));
    HostDouble::TakeRestartDeletes();
  }
  void TearDown() override {
    HostDouble::FailTempFolder(false);
    HostDouble::ResetEnvironment();
    HostDouble::TakeRestartDeletes();
  }
  bool Exists(StringView relative) const {
    return std::filesystem::exists(folder_.NativePath(relative));
  }

  TemporaryFolder folder_;
};

TEST_F(SetupHelperHostTest, ARunningProgramIsMovedAwayAndDeletedAtRestart) {
  folder_.WriteFile(u"ZELO\\ZELO.exe", "MZ");
  const String program = folder_.PathOf(u"ZELO\\ZELO.exe");
  HostDouble::SetProgramRunning(program, true);

  TSetupHelper::RemoveFile(program);

  EXPECT_FALSE(Exists(u"ZELO\\ZELO.exe"));
  const std::vector<String> scheduled = HostDouble::TakeRestartDeletes();
  ASSERT_EQ(scheduled.size(), 1u);
  const String& moved = scheduled[0];
  EXPECT_EQ(platform::ExtractFilePath(moved), folder_.PathOf(u"Temp\\"));
  const String name = platform::ExtractFileName(moved);
  EXPECT_EQ(name.substr(0, 3), u"del");
  EXPECT_EQ(platform::ExtractFileExt(name), u".tmp");
  EXPECT_EQ(folder_.ReadFile(u"Temp\\" + name), "MZ");
  // Only the moved file is left in the temporary folder: the reserving empty file went.
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry :
       std::filesystem::directory_iterator(folder_.NativePath(u"Temp"))) {
    ++files;
  }
  EXPECT_EQ(files, 1u);
  HostDouble::SetProgramRunning(moved, false);
}

TEST_F(SetupHelperHostTest, AFileThatCanBeNeitherDeletedNorMovedStays) {
  folder_.WriteFile(u"ZELO\\ZELO.ini", "settings");
  const String path = folder_.PathOf(u"ZELO\\ZELO.ini");
  {
    // Held open without delete sharing: neither deleting nor renaming is allowed.
    platform::File held =
        platform::File::Open(path, platform::FileAccess::Read, platform::FileShareRead,
                             platform::FileCreation::OpenExisting);
    ASSERT_TRUE(held.IsOpen());
    TSetupHelper::RemoveFile(path);
  }
  EXPECT_EQ(folder_.ReadFile(u"ZELO\\ZELO.ini"), "settings");
  EXPECT_TRUE(HostDouble::TakeRestartDeletes().empty());
  // The temporary name it tried leaves nothing behind.
  EXPECT_TRUE(std::filesystem::is_empty(folder_.NativePath(u"Temp")));
}

TEST_F(SetupHelperHostTest, NoTemporaryNameForAFileInUseRaisesTheSystemError) {
  folder_.WriteFile(u"ZELO.exe", "MZ");
  const String program = folder_.PathOf(u"ZELO.exe");
  HostDouble::SetProgramRunning(program, true);
  HostDouble::FailTempFolder(true);
  EXPECT_THROW(TSetupHelper::RemoveFile(program), EOSError);
  EXPECT_TRUE(Exists(u"ZELO.exe"));
  HostDouble::SetProgramRunning(program, false);
}

TEST_F(SetupHelperHostTest, RemovingATreeStopsAtTheFirstFileThatStays) {
  folder_.WriteFile(u"Tree\\a.txt", "a");
  folder_.WriteFile(u"Tree\\b.exe", "b");
  const String program = folder_.PathOf(u"Tree\\b.exe");
  HostDouble::SetProgramRunning(program, true);
  // The whole-tree removal deletes plainly: a running program's file is not moved away.
  TSetupHelper::RemoveFolder(folder_.PathOf(u"Tree\\"), false);
  EXPECT_TRUE(Exists(u"Tree\\b.exe"));
  EXPECT_TRUE(HostDouble::TakeRestartDeletes().empty());
  HostDouble::SetProgramRunning(program, false);
}

}  // namespace
