// Unregistering shell libraries, seen through the host double's fake libraries.
#include <gtest/gtest.h>

#include "core/installer_active_x.h"
#include "platform/host_double.h"

namespace {

using platform::HostDouble;

class InstallerActiveXDouble : public testing::Test {
 protected:
  void TearDown() override { HostDouble::RemoveLibraries(); }
};

TEST_F(InstallerActiveXDouble, UnregisterCallsDllUnregisterServerOnce) {
  int unregistered = 0;
  HostDouble::AddLibrary(u"C:\\ZELO\\System\\zelo_menu64.dll",
                         {{"DllUnregisterServer", [&] { ++unregistered; }},
                          {"DllRegisterServer", [] { FAIL() << "registered"; }}});
  TInstallerActiveX::Unregister(u"C:\\ZELO\\System\\zelo_menu64.dll");
  EXPECT_EQ(unregistered, 1);
  const auto events = HostDouble::TakeLibraryEvents();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[1].ExportName, "DllUnregisterServer");
  EXPECT_EQ(events[2].Kind, HostDouble::LibraryEventKind::Unload);
}

TEST_F(InstallerActiveXDouble, ALibraryWithoutTheExportIsLoadedAndReleased) {
  HostDouble::AddLibrary(u"C:\\ZELO\\System\\zelo_menu32.dll", {});
  EXPECT_NO_THROW(TInstallerActiveX::Unregister(u"C:\\ZELO\\System\\zelo_menu32.dll"));
  const auto events = HostDouble::TakeLibraryEvents();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].Kind, HostDouble::LibraryEventKind::Load);
  EXPECT_EQ(events[1].Kind, HostDouble::LibraryEventKind::Unload);
}

}  // namespace
