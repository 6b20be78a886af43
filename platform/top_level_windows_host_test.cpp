// The host double's windows: registered by tests, first match wins, processes may refuse.
#include <gtest/gtest.h>

#include "platform/host_double.h"
#include "platform/os_error.h"
#include "platform/top_level_windows.h"

namespace {

using platform::HostDouble;

class WindowsDouble : public testing::Test {
 protected:
  void TearDown() override { HostDouble::RemoveWindows(); }
};

TEST_F(WindowsDouble, FindsTheFirstWindowOfAClassUntilItIsRemoved) {
  const auto first =
      HostDouble::AddWindow({u"TZELOMainForm", u"ZELO", 100, u"C:\\Program Files\\ZELO\\ZELO.exe"});
  const auto second = HostDouble::AddWindow({u"TZELOMainForm", u"ZELO", 200, u"D:\\ZELO.exe"});
  EXPECT_EQ(platform::FindTopLevelWindow(u"TZELOMainForm"), first);
  HostDouble::RemoveWindow(first);
  EXPECT_EQ(platform::FindTopLevelWindow(u"TZELOMainForm"), second);
  uint32_t process_id = 0;
  ASSERT_TRUE(platform::GetWindowProcessId(second, process_id));
  EXPECT_EQ(process_id, 200u);
  EXPECT_FALSE(platform::GetWindowProcessId(first, process_id));
  EXPECT_EQ(platform::GetLastOSError(), platform::ErrorInvalidWindowHandle);
}

TEST_F(WindowsDouble, AProcessWithoutAPathCannotBeOpened) {
  HostDouble::AddWindow({u"TZELOMainForm", u"ZELO", 300, u""});
  String path;
  EXPECT_FALSE(platform::GetProcessExecutablePath(300, path));
  EXPECT_EQ(platform::GetLastOSError(), platform::ErrorAccessDenied);
}

}  // namespace
