// The dark-mode flag against the host registry, whose content the test decides.
#include <gtest/gtest.h>

#include <functional>

#include "platform/host_double.h"
#include "platform/registry.h"
#include "ui/installer_palette.h"

namespace {

using platform::HostDouble;
using platform::RegistryKey;
using platform::RegistryRoot;

constexpr StringView PersonalizeKey =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

struct DarkModeCase {
  const char* Name;
  std::function<void()> Setup;
  bool Dark;
};

void PrintTo(const DarkModeCase& c, std::ostream* os) {
  *os << c.Name;
}

class DarkModeFlag : public testing::TestWithParam<DarkModeCase> {
 protected:
  void SetUp() override { HostDouble::ResetRegistry(); }
  void TearDown() override { HostDouble::ResetRegistry(); }
};

TEST_P(DarkModeFlag, FollowsAppsUseLightTheme) {
  GetParam().Setup();
  EXPECT_EQ(ReadDarkModeFlag(), GetParam().Dark);
}

void WriteDword(uint32_t value) {
  ASSERT_TRUE(RegistryKey::Create(RegistryRoot::CurrentUser, PersonalizeKey)
                  .WriteDword(u"AppsUseLightTheme", value));
}

INSTANTIATE_TEST_SUITE_P(
    Settings, DarkModeFlag,
    testing::Values(DarkModeCase{"no key", [] {}, false},
                    DarkModeCase{"no value",
                                 [] {
                                   ASSERT_TRUE(RegistryKey::Create(RegistryRoot::CurrentUser,
                                                                   PersonalizeKey)
                                                   .WriteDword(u"SystemUsesLightTheme", 0));
                                 },
                                 false},
                    DarkModeCase{"zero", [] { WriteDword(0); }, true},
                    DarkModeCase{"one", [] { WriteDword(1); }, false},
                    DarkModeCase{"other number", [] { WriteDword(2); }, false},
                    // A value of the wrong type is unreadable, so light.
                    DarkModeCase{"text zero",
                                 [] {
                                   ASSERT_TRUE(RegistryKey::Create(RegistryRoot::CurrentUser,
                                                                   PersonalizeKey)
                                                   .WriteText(u"AppsUseLightTheme", u"0"));
                                 },
                                 false}));

}  // namespace
