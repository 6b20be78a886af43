// The accounts of a machine arranged in the host double: profile folders under the test's
// folder, their entries in the profile list and their hives under HKEY_USERS.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/host_double.h"
#include "platform/registry.h"
#include "product/user_accounts.h"
#include "tests/support/temporary_folder.h"

namespace {

using platform::HostDouble;
using platform::RegistryKey;
using platform::RegistryRoot;
using platform::ShellFolder;

constexpr char16_t ProfileList[] =
    u"Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\";
constexpr char16_t UserShellFolders[] =
    u"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

struct Expected {
  String UserName;
  String ProfilePath;
  String AppDataPath;
};

class UserAccounts : public testing::Test {
 protected:
  void SetUp() override {
    HostDouble::ResetRegistry();
    HostDouble::SetUserName(u"me");
    HostDouble::SetShellFolder(ShellFolder::Profile, Users(u"me"));
    HostDouble::SetShellFolder(ShellFolder::AppData, Users(u"me\\AppData\\Roaming"));
    HostDouble::SetEnvironmentValue(u"PROFILES", Users(u""));
    MakeFolder(u"me");
  }
  void TearDown() override {
    HostDouble::ResetRegistry();
    HostDouble::ResetShellFolders();
    HostDouble::ResetEnvironment();
  }

  String Users(StringView relative) const { return folder_.PathOf(u"Users\\" + String(relative)); }
  void MakeFolder(StringView user) const {
    std::filesystem::create_directories(folder_.NativePath(u"Users\\" + String(user)));
  }

  static void AddProfile(StringView sid, StringView image_path) {
    ASSERT_TRUE(RegistryKey::Create(RegistryRoot::LocalMachine, ProfileList + String(sid))
                    .WriteExpandText(u"ProfileImagePath", image_path));
  }
  static void AddHive(StringView sid, StringView app_data) {
    ASSERT_TRUE(RegistryKey::Create(RegistryRoot::Users, String(sid) + UserShellFolders)
                    .WriteExpandText(u"AppData", app_data));
  }

  void ExpectAccounts(const std::vector<Expected>& expected) const {
    const auto list = TVYNUserAccounts::CreateList();
    ASSERT_EQ(list->Count(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ((*list)[i].UserName, expected[i].UserName) << i;
      EXPECT_EQ((*list)[i].ProfilePath, expected[i].ProfilePath) << i;
      EXPECT_EQ((*list)[i].AppDataPath, expected[i].AppDataPath) << i;
    }
  }

  Expected Me() const { return {u"me", Users(u"me\\"), Users(u"me\\AppData\\Roaming\\")}; }

  TemporaryFolder folder_;
};

TEST_F(UserAccounts, ListsTheCurrentUserFirstThenTheProfileListInItsOrder) {
  AddHive(u".DEFAULT", u"%userprofile%\\AppData\\Roaming");
  MakeFolder(u"alice");
  AddProfile(u"S-1-5-21-7-1001", u"%PROFILES%alice");
  AddHive(u"S-1-5-21-7-1001", u"%USERPROFILE%\\Roaming Data");
  // A backed-up entry of a profile that was repaired: never an account of its own.
  MakeFolder(u"bob");
  AddProfile(u"S-1-5-21-7-1002.BAK", Users(u"bob"));
  AddHive(u"S-1-5-21-7-1002.BAK", u"%USERPROFILE%\\AppData\\Roaming");
  // A profile whose folder is gone.
  AddProfile(u"S-1-5-21-7-1003", Users(u"gone"));
  AddHive(u"S-1-5-21-7-1003", u"%USERPROFILE%\\AppData\\Roaming");
  // Nobody is logged on as carol: her hive is not loaded, the default user's settings apply.
  MakeFolder(u"carol");
  AddProfile(u"S-1-5-21-7-1004", Users(u"carol\\"));
  // The current user again: the entry made from the shell's folders stays.
  AddProfile(u"S-1-5-21-7-1005", Users(u"me"));
  AddHive(u"S-1-5-21-7-1005", u"%USERPROFILE%\\Elsewhere");
  // Loaded, but without an application-data folder: not listed, and no fallback either.
  MakeFolder(u"dave");
  AddProfile(u"S-1-5-21-7-1006", Users(u"dave"));
  AddHive(u"S-1-5-21-7-1006", u"");

  ExpectAccounts({Me(),
                  {u"alice", Users(u"alice\\"), Users(u"alice\\Roaming Data\\")},
                  {u"carol", Users(u"carol\\"), Users(u"carol\\AppData\\Roaming\\")}});
}

TEST_F(UserAccounts, TheCurrentUserSpelledInAnotherCaseIsListedTwice) {
  // Folders compare case-sensitively on Linux; the other spelling must exist by itself.
  MakeFolder(u"ME");
  AddProfile(u"S-1-5-21-7-1001", Users(u"ME"));
  AddHive(u"S-1-5-21-7-1001", u"%USERPROFILE%\\AppData\\Roaming");

  ExpectAccounts({Me(), {u"ME", Users(u"ME\\"), Users(u"ME\\AppData\\Roaming\\")}});
}

TEST_F(UserAccounts, WithoutAProfileListOnlyTheCurrentUserIsListed) {
  ExpectAccounts({Me()});
}

TEST_F(UserAccounts, AnAccountWithoutAnyShellFoldersIsPassedOver) {
  MakeFolder(u"alice");
  AddProfile(u"S-1-5-21-7-1001", Users(u"alice"));
  ExpectAccounts({Me()});
}

TEST_F(UserAccounts, AProfilePathOfAnotherTypeIsPassedOver) {
  AddHive(u".DEFAULT", u"%USERPROFILE%\\AppData\\Roaming");
  ASSERT_TRUE(
      RegistryKey::Create(RegistryRoot::LocalMachine, ProfileList + String(u"S-1-5-21-7-1001"))
          .WriteDword(u"ProfileImagePath", 1));
  ExpectAccounts({Me()});
}

TEST_F(UserAccounts, FoldersTheShellCannotGiveAreTheTemporaryFolder) {
  HostDouble::FailShellFolder(ShellFolder::Profile);
  HostDouble::FailShellFolder(ShellFolder::AppData);
  HostDouble::SetEnvironmentValue(u"TMP", u"C:\\Temp");
  ExpectAccounts({{u"me", u"C:\\Temp\\", u"C:\\Temp\\"}});
}

TEST(UserAccountInfoList, KeepsTheFirstEntryOfEachProfileFolder) {
  TVYNUserAccountInfoList list;
  EXPECT_TRUE(list.Add(std::make_unique<TVYNUserAccountInfo>(
      TVYNUserAccountInfo{u"first", u"C:\\users\\x\\", u"C:\\a\\"})));
  EXPECT_FALSE(list.Add(std::make_unique<TVYNUserAccountInfo>(
      TVYNUserAccountInfo{u"second", u"C:\\users\\x\\", u"C:\\b\\"})));
  EXPECT_TRUE(list.Add(std::make_unique<TVYNUserAccountInfo>(
      TVYNUserAccountInfo{u"third", u"C:\\Users\\X\\", u"C:\\c\\"})));
  ASSERT_EQ(list.Count(), 2u);
  EXPECT_EQ(list[0].UserName, u"first");
  EXPECT_EQ(list[1].UserName, u"third");
}

}  // namespace
