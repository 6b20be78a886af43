// What only the host double's registry shows: the order in which values were written, which
// Windows keeps (Wine lists values sorted), and the hives a reset leaves.
#include <gtest/gtest.h>

#include "platform/host_double.h"
#include "platform/registry.h"

namespace {

using platform::HostDouble;
using platform::RegistryAccess;
using platform::RegistryKey;
using platform::RegistryRoot;

class RegistryDouble : public testing::Test {
 protected:
  void SetUp() override { HostDouble::ResetRegistry(); }
  void TearDown() override { HostDouble::ResetRegistry(); }
};

TEST_F(RegistryDouble, DeleteTreeRefusesToEmptyAWholeHive) {
  ASSERT_TRUE(RegistryKey::Create(RegistryRoot::CurrentUser, u"Software\\Kept").IsOpen());
  for (const StringView path : {StringView(u""), StringView(u"\\")}) {
    EXPECT_FALSE(RegistryKey::DeleteTree(RegistryRoot::CurrentUser, path));
  }
  EXPECT_TRUE(RegistryKey::Open(RegistryRoot::CurrentUser, u"Software\\Kept", RegistryAccess::Read)
                  .IsOpen());
}

TEST_F(RegistryDouble, KeepsValuesInTheOrderTheyWereFirstWritten) {
  RegistryKey key = RegistryKey::Create(RegistryRoot::LocalMachine, u"Software\\Order");
  ASSERT_TRUE(key.WriteDword(u"Zeta", 1));
  ASSERT_TRUE(key.WriteText(u"alpha", u"a"));
  ASSERT_TRUE(key.WriteText(u"Mid", u"m"));
  ASSERT_TRUE(key.WriteDword(u"ZETA", 2));

  const auto values = HostDouble::RegistryValues(RegistryRoot::LocalMachine, u"software\\order");
  ASSERT_EQ(values.size(), 3u);
  EXPECT_EQ(values[0].Name, u"Zeta");
  EXPECT_EQ(values[0].Value.Data, (std::vector<uint8_t>{2, 0, 0, 0}));
  EXPECT_EQ(values[1].Name, u"alpha");
  EXPECT_EQ(values[2].Name, u"Mid");
  EXPECT_EQ(values[2].Value.Data, (std::vector<uint8_t>{'m', 0, 0, 0}));
  EXPECT_TRUE(HostDouble::RegistryValues(RegistryRoot::LocalMachine, u"Software\\None").empty());
}

TEST_F(RegistryDouble, TheCurrentUserIsAHiveUnderUsersAndClassesAreTheMachines) {
  ASSERT_TRUE(
      RegistryKey::Create(RegistryRoot::CurrentUser, u"Software\\Mine").WriteDword(u"Seen", 1));
  ASSERT_TRUE(RegistryKey::Create(RegistryRoot::ClassesRoot, u".zelo").WriteText(u"", u"File"));

  EXPECT_TRUE(RegistryKey::Open(RegistryRoot::Users, u"S-1-5-21-0-0-0-1000\\Software\\Mine",
                                RegistryAccess::Read)
                  .IsOpen());
  EXPECT_TRUE(RegistryKey::Open(RegistryRoot::LocalMachine, u"Software\\Classes\\.zelo",
                                RegistryAccess::Read)
                  .IsOpen());
}

TEST_F(RegistryDouble, AResetLeavesEmptyHives) {
  ASSERT_TRUE(RegistryKey::Create(RegistryRoot::LocalMachine, u"Software\\Gone").IsOpen());
  HostDouble::ResetRegistry();
  uint32_t count = 99;
  ASSERT_TRUE(RegistryKey::Open(RegistryRoot::LocalMachine, u"", RegistryAccess::Read)
                  .GetSubkeyCount(count));
  EXPECT_EQ(count, 1u);  // Software, which holds the classes
  ASSERT_TRUE(RegistryKey::Open(RegistryRoot::LocalMachine, u"Software", RegistryAccess::Read)
                  .GetSubkeyCount(count));
  EXPECT_EQ(count, 1u);
}

}  // namespace
