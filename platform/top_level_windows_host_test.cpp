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

TEST_F(WindowsDouble, AWindowClosesWhenAskedUnlessItRefuses) {
  const auto willing = HostDouble::AddWindow({u"TZELOMainForm", u"ZELO", 100, u"C:\\ZELO.exe"});
  const auto stubborn = HostDouble::AddWindow({u"TZELOMainForm", u"ZELO", 200, u"C:\\ZELO.exe"});
  HostDouble::SetWindowRefusesToClose(stubborn, true);
  HostDouble::TakeCloseRequests();

  EXPECT_TRUE(platform::RequestWindowClose(willing, 1000));
  EXPECT_EQ(platform::FindTopLevelWindow(u"TZELOMainForm"), stubborn);
  // A refusing window answers, but stays until it agrees.
  EXPECT_TRUE(platform::RequestWindowClose(stubborn, 1000));
  EXPECT_EQ(platform::FindTopLevelWindow(u"TZELOMainForm"), stubborn);
  HostDouble::SetWindowRefusesToClose(stubborn, false);
  EXPECT_TRUE(platform::RequestWindowClose(stubborn, 1000));
  EXPECT_EQ(platform::FindTopLevelWindow(u"TZELOMainForm"), nullptr);
  // A window that is gone can no longer be asked.
  EXPECT_FALSE(platform::RequestWindowClose(willing, 1000));
  EXPECT_EQ(platform::GetLastOSError(), platform::ErrorInvalidWindowHandle);

  EXPECT_EQ(HostDouble::TakeCloseRequests(),
            (std::vector<platform::NativeWindow>{willing, stubborn, stubborn, willing}));
  EXPECT_TRUE(HostDouble::TakeCloseRequests().empty());
}

}  // namespace
