// Looking up top-level windows and the program behind one, against a real window of this test
// program under Wine and a fake one in the host double.
#include "platform/top_level_windows.h"

#include <gtest/gtest.h>

#include "platform/os_error.h"
#include "tests/support/test_window.h"

namespace {

TEST(TopLevelWindows, FindsAWindowByClassAndTheProgramThatOwnsIt) {
  const TestWindow window(u"uInstallerTestWindow");
  const platform::NativeWindow found = platform::FindTopLevelWindow(u"UINSTALLERTESTWINDOW");
  ASSERT_EQ(found, window.Handle());

  uint32_t process_id = 0;
  ASSERT_TRUE(platform::GetWindowProcessId(found, process_id));
  EXPECT_EQ(process_id, window.ProcessId());
  String path;
  ASSERT_TRUE(platform::GetProcessExecutablePath(process_id, path));
  EXPECT_EQ(path, window.ExecutablePath());
}

TEST(TopLevelWindows, UnknownClassesWindowsAndProcessesAreReported) {
  EXPECT_EQ(platform::FindTopLevelWindow(u"uInstallerNoSuchWindowClass"), nullptr);
  uint32_t process_id = 0;
  EXPECT_FALSE(platform::GetWindowProcessId(nullptr, process_id));
  EXPECT_EQ(platform::GetLastOSError(), platform::ErrorInvalidWindowHandle);
  String path;
  EXPECT_FALSE(platform::GetProcessExecutablePath(0, path));
  EXPECT_EQ(platform::GetLastOSError(), platform::ErrorInvalidParameter);
}

TEST(TopLevelWindows, AWindowAskedToCloseIsGone) {
  const TestWindow window(u"uInstallerClosingWindow");
  // A window of this very thread answers at once; the timeout only bounds a hung one.
  ASSERT_TRUE(platform::RequestWindowClose(window.Handle(), 1000));
  EXPECT_EQ(platform::FindTopLevelWindow(u"uInstallerClosingWindow"), nullptr);
}

}  // namespace
