// Facts about the running process.
#include "platform/process.h"

#include <gtest/gtest.h>

#include "platform/os_error.h"
#include "tests/support/temporary_folder.h"

namespace {

TEST(GetProgramFileName, IsTheFullPathOfThisTestProgram) {
  const String path = platform::GetProgramFileName();
  const size_t name = path.find_last_of(u"\\/");
  ASSERT_NE(name, String::npos);
  EXPECT_TRUE(path.substr(name + 1).starts_with(u"platform_tests")) << StringToUtf8(path);
}

TEST(RunProgramAndWait, AProgramThatIsNotThereCannotBeStarted) {
  const TemporaryFolder folder;
  const String missing = folder.PathOf(u"Missing Program.exe");
  for (const String& command_line : {u"\"" + missing + u"\" /S", missing}) {
    EXPECT_FALSE(platform::RunProgramAndWait(command_line)) << StringToUtf8(command_line);
    EXPECT_EQ(platform::GetLastOSError(), platform::ErrorFileNotFound);
  }
}

TEST(RunProgramAndWait, ReturnsOnceAProgramWithoutWindowHasEnded) {
  EXPECT_TRUE(platform::RunProgramAndWait(u"cmd.exe /c exit 3"));
}

}  // namespace
