// Environment expansion and the user's name, checked alike under Wine and in the host double.
#include "platform/environment.h"

#include <gtest/gtest.h>

#include "platform/shell_folders.h"

namespace {

String Expand(StringView text) {
  String expanded;
  EXPECT_TRUE(platform::ExpandEnvironmentText(text, expanded));
  return expanded;
}

String Profile() {
  String profile;
  EXPECT_TRUE(platform::GetShellFolder(platform::ShellFolder::Profile, profile));
  return profile;
}

TEST(ExpandEnvironmentText, ReplacesKnownVariablesWhateverTheirCase) {
  EXPECT_EQ(Expand(u"%USERPROFILE%\\AppData"), Profile() + u"\\AppData");
  EXPECT_EQ(Expand(u"%userprofile%"), Profile());
  EXPECT_EQ(Expand(u"no references"), u"no references");
  EXPECT_EQ(Expand(u""), u"");
}

TEST(ExpandEnvironmentText, LeavesUnknownAndUnfinishedReferencesAsWritten) {
  EXPECT_EQ(Expand(u"%UINSTALLER_NOT_SET%\\x"), u"%UINSTALLER_NOT_SET%\\x");
  EXPECT_EQ(Expand(u"50%"), u"50%");
  EXPECT_EQ(Expand(u"%%"), u"%%");
  // The closing sign of an unknown reference does not open the next one.
  EXPECT_EQ(Expand(u"%UINSTALLER_NOT_SET%USERPROFILE%"), u"%UINSTALLER_NOT_SET%USERPROFILE%");
  EXPECT_EQ(Expand(u"%UINSTALLER_NOT_SET%%USERPROFILE%"), u"%UINSTALLER_NOT_SET%" + Profile());
}

TEST(ExpandEnvironmentText, ExpandsTextsLongerThanAPath) {
  const String long_name(400, u'x');
  EXPECT_EQ(Expand(long_name + u"%USERPROFILE%" + long_name), long_name + Profile() + long_name);
}

TEST(CurrentUserName, IsTheNameOfTheUsersProfileFolder) {
  String name;
  ASSERT_TRUE(platform::GetCurrentUserName(name));
  ASSERT_FALSE(name.empty());
  const String profile = Profile();
  EXPECT_EQ(profile.substr(profile.find_last_of(u'\\') + 1), name);
}

}  // namespace
