// Facts about the running process.
#include "platform/process.h"

#include <gtest/gtest.h>

namespace {

TEST(GetProgramFileName, IsTheFullPathOfThisTestProgram) {
  const String path = platform::GetProgramFileName();
  const size_t name = path.find_last_of(u"\\/");
  ASSERT_NE(name, String::npos);
  EXPECT_TRUE(path.substr(name + 1).starts_with(u"platform_tests")) << StringToUtf8(path);
}

}  // namespace
