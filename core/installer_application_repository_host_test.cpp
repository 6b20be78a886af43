// What only the host double shows of the uninstall entry: the order of its values, which
// Windows keeps and Wine does not, and the install date of a fixed day.
#include <gtest/gtest.h>

#include "core/installer_application_repository.h"
#include "platform/host_double.h"

namespace {

using platform::HostDouble;

class ApplicationRepositoryDouble : public testing::Test {
 protected:
  void SetUp() override {
    HostDouble::ResetRegistry();
    HostDouble::FixLocalTime({2024, 3, 5, 23, 59, 59, 999});
  }
  void TearDown() override {
    HostDouble::ReleaseLocalTime();
    HostDouble::ResetRegistry();
  }
};

TEST_F(ApplicationRepositoryDouble, WritesTheValuesInTheirOrderWithTheLocalDate) {
  ASSERT_TRUE(TInstallerApplicationRepository::Register(
      u"ZELO Player", u"C:\\Program Files\\ZELO\\Uninstall.exe", u"5.1", u"VYN", u"https://x/"));

  const auto values = HostDouble::RegistryValues(
      platform::RegistryRoot::LocalMachine,
      u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZELOPlayer");
  std::vector<String> names;
  for (const auto& value : values) names.push_back(value.Name);
  EXPECT_EQ(names, (std::vector<String>{u"NoModify", u"NoRepair", u"DisplayIcon", u"DisplayName",
                                        u"DisplayVersion", u"InstallDate", u"InstallPath",
                                        u"Publisher", u"UninstallString", u"URLInfoAbout"}));
  const std::vector<uint8_t> date{'2', 0,   '0', 0,   '2', 0,   '4', 0, '0',
                                  0,   '3', 0,   '0', 0,   '5', 0,   0, 0};
  ASSERT_EQ(values.size(), 10u);
  EXPECT_EQ(values[5].Value.Data, date);
}

}  // namespace
