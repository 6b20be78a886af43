// The loading ritual of CallLibraryExport, seen through the host double's fake libraries: the
// library loads in its own folder with critical-error boxes off, and the export runs after both
// are given back.
#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "platform/host_double.h"
#include "platform/library.h"
#include "platform/os_error.h"
#include "tests/support/temporary_folder.h"

namespace {

using platform::HostDouble;
using Kind = HostDouble::LibraryEventKind;

class LibraryDouble : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform::GetCurrentFolder(saved_folder_));
    ASSERT_TRUE(platform::SetCurrentFolder(folder_.Path()));
    ASSERT_TRUE(platform::CreateFolder(folder_.PathOf(u"System")));
  }
  void TearDown() override {
    HostDouble::RemoveLibraries();
    EXPECT_TRUE(platform::SetCurrentFolder(saved_folder_));
  }

  TemporaryFolder folder_;
  String saved_folder_;
};

TEST_F(LibraryDouble, LoadsInTheLibrarysFolderAndCallsTheExportAfterRestoringIt) {
  const String library = folder_.PathOf(u"System\\zelo_menu64.dll");
  int calls = 0;
  HostDouble::AddLibrary(library, {{"DllUnregisterServer", [&] { ++calls; }}});
  const unsigned previous_mode = platform::SetSystemErrorMode(0x8000);

  EXPECT_TRUE(platform::CallLibraryExport(library, "DllUnregisterServer"));

  EXPECT_EQ(calls, 1);
  const auto events = HostDouble::TakeLibraryEvents();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].Kind, Kind::Load);
  EXPECT_EQ(events[0].CurrentFolder, folder_.PathOf(u"System"));
  EXPECT_EQ(events[0].ErrorMode, platform::ErrorModeFailCriticalErrors);
  EXPECT_EQ(events[1].Kind, Kind::Call);
  EXPECT_EQ(events[1].ExportName, "DllUnregisterServer");
  EXPECT_EQ(events[1].CurrentFolder + u"\\", folder_.Path());
  EXPECT_EQ(events[1].ErrorMode, 0x8000u);
  EXPECT_EQ(events[2].Kind, Kind::Unload);
  EXPECT_EQ(platform::SetSystemErrorMode(previous_mode), 0x8000u);
}

TEST_F(LibraryDouble, ALibraryWithoutTheExportIsLoadedAndUnloadedOnly) {
  const String library = folder_.PathOf(u"System\\zelo_menu32.dll");
  HostDouble::AddLibrary(library, {{"DllRegisterServer", [] { FAIL(); }}});

  EXPECT_FALSE(platform::CallLibraryExport(library, "DllUnregisterServer"));
  EXPECT_EQ(platform::GetLastOSError(), platform::ErrorProcNotFound);
  const auto events = HostDouble::TakeLibraryEvents();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].Kind, Kind::Load);
  EXPECT_EQ(events[1].Kind, Kind::Unload);
}

}  // namespace
