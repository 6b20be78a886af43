// Calling a library's export when there is nothing to call: the same on Windows and in the
// host double, and the current directory is given back either way.
#include "platform/library.h"

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "platform/os_error.h"
#include "tests/support/temporary_folder.h"

namespace {

TEST(CallLibraryExport, PassesOverAMissingLibraryAndRestoresTheCurrentFolder) {
  TemporaryFolder folder;
  String before;
  ASSERT_TRUE(platform::GetCurrentFolder(before));

  EXPECT_FALSE(platform::CallLibraryExport(folder.PathOf(u"missing.dll"), "DllUnregisterServer"));
  EXPECT_EQ(platform::GetLastOSError(), platform::ErrorModNotFound);
  String after;
  ASSERT_TRUE(platform::GetCurrentFolder(after));
  EXPECT_EQ(after, before);
}

TEST(CallLibraryExport, RefusesARelativePath) {
  EXPECT_FALSE(platform::CallLibraryExport(u"missing.dll", "DllUnregisterServer"));
  EXPECT_EQ(platform::GetLastOSError(), platform::ErrorInvalidParameter);
}

}  // namespace
