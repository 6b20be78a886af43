// Child processes on Windows itself: a real program started, waited for and its exit code read,
// and the wait that ends early when told. The host double plays programs instead (see
// host_double_child_process.h), so this runs only where real programs start.
#include "platform/child_process.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/message_window.h"
#include "platform/shell_execute.h"

namespace {

using platform::ChildProcess;

TEST(ChildProcess, AStartedProgramIsWaitedForAndItsExitCodeRead) {
  ChildProcess process;
  ASSERT_TRUE(ChildProcess::Start(u"cmd.exe", u"/c exit 7", u"", platform::ShowDefault, process));
  ASSERT_TRUE(process.IsValid());
  EXPECT_TRUE(process.WaitServingSentMessages(nullptr));
  uint32_t exit_code = 0;
  ASSERT_TRUE(process.GetExitCode(exit_code));
  EXPECT_EQ(exit_code, 7u);
  EXPECT_TRUE(process.WaitForEnd(0));
}

// This very process never ends while it waits for itself: only the message another thread
// sends, served during the wait, can end the wait.
TEST(ChildProcess, AWaitServesSentMessagesAndEndsWhenToldToStop) {
  bool told = false;
  platform::MessageWindow window(u"ChildProcessTestWindow",
                                 [&](uint32_t message, uintptr_t, intptr_t, intptr_t& result) {
                                   if (message != platform::MessageUser) return false;
                                   told = true;
                                   result = 1;
                                   return true;
                                 });
  ChildProcess self;
  ASSERT_TRUE(ChildProcess::OpenOfWindow(window.Handle(), self));
  std::thread sender(
      [&] { platform::SendWindowMessage(window.Handle(), platform::MessageUser, 0, 0); });
  EXPECT_FALSE(self.WaitServingSentMessages([&] { return told; }));
  sender.join();
  EXPECT_TRUE(told);
  uint32_t exit_code = 0;
  EXPECT_FALSE(self.GetExitCode(exit_code)) << "a running process has no exit code yet";
}

TEST(ChildProcess, TheProcessOfAWindowIsOpenedToWaitForIt) {
  platform::MessageWindow window(u"ChildProcessTestWindow",
                                 [](uint32_t, uintptr_t, intptr_t, intptr_t&) { return false; });
  ChildProcess self;
  ASSERT_TRUE(ChildProcess::OpenOfWindow(window.Handle(), self));
  EXPECT_FALSE(self.WaitForEnd(0)) << "this very process has not ended";
  ChildProcess none;
  EXPECT_FALSE(ChildProcess::OpenOfWindow(nullptr, none));
  EXPECT_FALSE(none.IsValid());
}

TEST(ChildProcess, AProgramThatDoesNotExistIsNotStarted) {
  ChildProcess process;
  EXPECT_FALSE(
      ChildProcess::Start(u"C:\\no\\such\\program.exe", u"", u"", platform::ShowDefault, process));
  EXPECT_FALSE(process.IsValid());
}

}  // namespace
