// Unregistering a shell library that is not there is passed over, on Windows and the host alike.
#include "core/installer_active_x.h"

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/support/temporary_folder.h"

namespace {

TEST(InstallerActiveX, PassesOverALibraryThatCannotBeLoaded) {
  const TemporaryFolder folder;
  folder.WriteFile(u"System\\not_a_library.dll", "not a library");
  String before;
  ASSERT_TRUE(platform::GetCurrentFolder(before));

  EXPECT_NO_THROW(TInstallerActiveX::Unregister(folder.PathOf(u"System\\missing.dll")));
  EXPECT_NO_THROW(TInstallerActiveX::Unregister(folder.PathOf(u"System\\not_a_library.dll")));
  EXPECT_NO_THROW(TInstallerActiveX::CallExport(u"relative.dll", u"DllUnregisterServer"));

  String after;
  ASSERT_TRUE(platform::GetCurrentFolder(after));
  EXPECT_EQ(after, before);
}

}  // namespace
