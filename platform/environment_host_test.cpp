// The host double's environment: Wine's variables for the double's user, changed by tests.
#include <gtest/gtest.h>

#include "platform/environment.h"
#include "platform/host_double.h"

namespace {

using platform::HostDouble;

String Expand(StringView text) {
  String expanded;
  EXPECT_TRUE(platform::ExpandEnvironmentText(text, expanded));
  return expanded;
}

class EnvironmentDouble : public testing::Test {
 protected:
  void TearDown() override { HostDouble::ResetEnvironment(); }
};

TEST_F(EnvironmentDouble, VariablesFollowTheUsersName) {
  HostDouble::SetUserName(u"bob");
  String name;
  ASSERT_TRUE(platform::GetCurrentUserName(name));
  EXPECT_EQ(name, u"bob");
  EXPECT_EQ(Expand(u"%USERPROFILE%|%APPDATA%|%TEMP%"),
            u"C:\\users\\bob|C:\\users\\bob\\AppData\\Roaming|C:\\users\\bob\\Temp");
  EXPECT_EQ(Expand(u"%SystemRoot%|%ProgramFiles%|%SystemDrive%"),
            u"C:\\windows|C:\\Program Files|C:");
}

TEST_F(EnvironmentDouble, TestsCanSetAndRemoveVariables) {
  HostDouble::SetEnvironmentValue(u"ZeloHome", u"D:\\Zelo");
  HostDouble::SetEnvironmentValue(u"userprofile", u"D:\\Profiles\\carol");
  HostDouble::RemoveEnvironmentValue(u"SystemRoot");
  EXPECT_EQ(Expand(u"%ZELOHOME%|%USERPROFILE%|%SystemRoot%"),
            u"D:\\Zelo|D:\\Profiles\\carol|%SystemRoot%");
  HostDouble::ResetEnvironment();
  EXPECT_EQ(Expand(u"%ZeloHome%|%SystemRoot%"), u"%ZeloHome%|C:\\windows");
}

}  // namespace
