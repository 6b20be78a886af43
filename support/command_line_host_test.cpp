// The argument text of the process, from the command line the host double was given.
#include <gtest/gtest.h>

#include "platform/host_double.h"
#include "support/command_line.h"

TEST(GetCommandLineArgs, ReadsTheProcessCommandLine) {
  platform::HostDouble::SetProcessCommandLine(u"\"C:\\Temp\\Uninstall.exe\" /PATH=\"C:\\A B\\\"");
  EXPECT_EQ(GetCommandLineArgs(), u"/PATH=\"C:\\A B\\\"");
}
