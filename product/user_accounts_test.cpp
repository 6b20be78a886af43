// The accounts of the machine, under Wine (whose profile list holds the current user alone) and
// in the host double, with one more profile that the test registers and removes again.
#include "product/user_accounts.h"

#include <gtest/gtest.h>

#include "platform/environment.h"
#include "platform/registry.h"
#include "platform/shell_folders.h"
#include "tests/support/temporary_folder.h"

namespace {

using platform::RegistryAccess;
using platform::RegistryKey;
using platform::RegistryRoot;

constexpr char16_t ProfileList[] =
    u"Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\";
constexpr char16_t TestSid[] = u"S-1-5-21-1-2-3-4242";
constexpr char16_t UserShellFolders[] =
    u"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

void DeleteKeys(RegistryRoot root, String path) {
  while (RegistryKey::Delete(root, path)) {
    const size_t backslash = path.find_last_of(u'\\');
    if (backslash == String::npos) break;
    path.resize(backslash);
  }
}

class MachineAccounts : public testing::Test {
 protected:
  void SetUp() override {
    TearDown();
    AddProfile(TestSid, u"tester");
    // The system's backup of a repaired profile's entry, which is no account of its own.
    AddProfile(TestSid + String(u".bak"), u"backup");
  }
  void TearDown() override {
    for (const String& sid : {String(TestSid), TestSid + String(u".bak")}) {
      // Not every test adds both profiles.
      static_cast<void>(RegistryKey::Delete(RegistryRoot::LocalMachine, ProfileList + sid));
      DeleteKeys(RegistryRoot::Users, sid + UserShellFolders);
    }
  }

  void AddProfile(const String& sid, StringView folder) const {
    folder_.WriteFile(String(folder) + u"\\NTUSER.DAT", "");
    ASSERT_TRUE(RegistryKey::Create(RegistryRoot::LocalMachine, ProfileList + sid)
                    .WriteExpandText(u"ProfileImagePath", folder_.PathOf(folder)));
    ASSERT_TRUE(RegistryKey::Create(RegistryRoot::Users, sid + UserShellFolders)
                    .WriteExpandText(u"AppData", u"%UserProfile%\\AppData\\Roaming"));
  }

  TemporaryFolder folder_;
};

TEST_F(MachineAccounts, ListTheCurrentUserOnceAndEveryRegisteredProfile) {
  const auto list = TVYNUserAccounts::CreateList();

  String name;
  String profile;
  String app_data;
  ASSERT_TRUE(platform::GetCurrentUserName(name));
  ASSERT_TRUE(platform::GetShellFolder(platform::ShellFolder::Profile, profile));
  ASSERT_TRUE(platform::GetShellFolder(platform::ShellFolder::AppData, app_data));
  ASSERT_GE(list->Count(), 2u);
  EXPECT_EQ((*list)[0].UserName, name);
  EXPECT_EQ((*list)[0].ProfilePath, profile + u"\\");
  EXPECT_EQ((*list)[0].AppDataPath, app_data + u"\\");

  size_t current_user = 0;
  size_t tester = 0;
  for (size_t i = 0; i < list->Count(); ++i) {
    const TVYNUserAccountInfo& account = (*list)[i];
    EXPECT_EQ(account.ProfilePath.back(), u'\\');
    EXPECT_EQ(account.AppDataPath.back(), u'\\');
    if (account.ProfilePath == profile + u"\\") ++current_user;
    EXPECT_NE(account.ProfilePath, folder_.PathOf(u"backup\\"));
    if (account.ProfilePath == folder_.PathOf(u"tester\\")) {
      ++tester;
      EXPECT_EQ(account.UserName, u"tester");
      EXPECT_EQ(account.AppDataPath, folder_.PathOf(u"tester\\AppData\\Roaming\\"));
    }
  }
  EXPECT_EQ(current_user, 1u);
  EXPECT_EQ(tester, 1u);
}

}  // namespace
