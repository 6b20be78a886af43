// Facts about the system: under Wine's Windows 10 prefix and in the host double alike.
#include "platform/system.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowsVersion, IsTheRealVersionWithoutAManifest) {
  // This test program declares no supported Windows versions, so GetVersionExW would say 6.2.
  const platform::WindowsVersion version = platform::GetWindowsVersion();
  EXPECT_EQ(version.Major, 10u);
  EXPECT_EQ(version.Minor, 0u);
  EXPECT_GT(version.Build, 10000u);
}

TEST(WindowsVersion, IsAtLeastEveryEarlierVersionAndNoLaterOne) {
  const platform::WindowsVersion version = platform::GetWindowsVersion();
  EXPECT_TRUE(platform::IsWindowsVersionAtLeast(version.Major, version.Minor));
  EXPECT_TRUE(platform::IsWindowsVersionAtLeast(version.Major - 1, version.Minor + 5));
  EXPECT_TRUE(platform::IsWindowsVersionAtLeast(6, 2));
  EXPECT_FALSE(platform::IsWindowsVersionAtLeast(version.Major, version.Minor + 1));
  EXPECT_FALSE(platform::IsWindowsVersionAtLeast(version.Major + 1, 0));
}

TEST(UserRights, TheTestUserIsAnAdministrator) {
  EXPECT_TRUE(platform::IsUserAdministrator());
}

TEST(UserInterfaceLanguage, IsALanguageIdentifier) {
  const uint16_t language = platform::GetUserInterfaceLanguage();
  // The primary language sits in the low ten bits and is never 0 (LANG_NEUTRAL) for a user.
  EXPECT_NE(language & 0x3FF, 0);
}

}  // namespace
