// Registry keys and values, checked alike against the Windows registry (under Wine, in a key of
// the tests' own that is removed afterwards) and the host double's tree.
#include "platform/registry.h"

#include <gtest/gtest.h>

#include "platform/os_error.h"

namespace {

using platform::GetLastOSError;
using platform::RegistryAccess;
using platform::RegistryKey;
using platform::RegistryRoot;
using platform::RegistryValue;

constexpr char16_t TestKey[] = u"Software\\uInstaller platform tests";

void DeleteTree(RegistryRoot root, const String& path) {
  std::vector<String> names;
  {
    const RegistryKey key = RegistryKey::Open(root, path, RegistryAccess::Read);
    if (!key.IsOpen()) return;
    EXPECT_TRUE(key.GetSubkeyNames(names));
  }
  for (const String& name : names) DeleteTree(root, path + u"\\" + name);
  EXPECT_TRUE(RegistryKey::Delete(root, path));
}

class Registry : public testing::Test {
 protected:
  void SetUp() override {
    DeleteTree(RegistryRoot::CurrentUser, TestKey);
    key_ = RegistryKey::Create(RegistryRoot::CurrentUser, TestKey);
    ASSERT_TRUE(key_.IsOpen());
  }
  void TearDown() override {
    key_.Close();
    DeleteTree(RegistryRoot::CurrentUser, TestKey);
  }

  static String PathOf(StringView subkey) { return String(TestKey) + u"\\" + String(subkey); }

  RegistryKey key_;
};

TEST_F(Registry, TextsAreStoredWithTheirTerminatingZero) {
  const String text = u"Café ü € 日本";
  ASSERT_TRUE(key_.WriteText(u"Plain", text));
  ASSERT_TRUE(key_.WriteText(u"Empty", u""));
  ASSERT_TRUE(key_.WriteExpandText(u"Expandable", u"%USERPROFILE%\\x"));

  RegistryValue value;
  ASSERT_TRUE(key_.ReadValue(u"Plain", value));
  EXPECT_EQ(value.Type, platform::RegistryString);
  ASSERT_EQ(value.Data.size(), 2 * (text.size() + 1));
  EXPECT_EQ(value.Data[value.Data.size() - 2], 0);
  EXPECT_EQ(value.Data.back(), 0);
  ASSERT_TRUE(key_.ReadValue(u"Empty", value));
  EXPECT_EQ(value.Data, std::vector<uint8_t>(2, 0));
  ASSERT_TRUE(key_.ReadValue(u"Expandable", value));
  EXPECT_EQ(value.Type, platform::RegistryExpandString);

  String read;
  ASSERT_TRUE(key_.ReadText(u"Plain", read));
  EXPECT_EQ(read, text);
  ASSERT_TRUE(key_.ReadText(u"Empty", read));
  EXPECT_EQ(read, u"");
  // Read back as stored, not expanded.
  ASSERT_TRUE(key_.ReadText(u"Expandable", read));
  EXPECT_EQ(read, u"%USERPROFILE%\\x");
}

TEST_F(Registry, ReadsRefuseMissingValuesAndOtherTypes) {
  ASSERT_TRUE(key_.WriteDword(u"Number", 0x12345678));
  ASSERT_TRUE(key_.WriteText(u"Text", u"12"));

  uint32_t number = 0;
  ASSERT_TRUE(key_.ReadDword(u"Number", number));
  EXPECT_EQ(number, 0x12345678u);

  String text = u"unchanged";
  EXPECT_FALSE(key_.ReadText(u"Number", text));
  EXPECT_EQ(GetLastOSError(), platform::ErrorUnsupportedType);
  EXPECT_FALSE(key_.ReadDword(u"Text", number));
  EXPECT_EQ(GetLastOSError(), platform::ErrorUnsupportedType);
  EXPECT_FALSE(key_.ReadText(u"Missing", text));
  EXPECT_EQ(GetLastOSError(), platform::ErrorFileNotFound);
  EXPECT_EQ(text, u"unchanged");
}

TEST_F(Registry, ValueNamesIgnoreCase) {
  ASSERT_TRUE(key_.WriteText(u"DisplayName", u"first"));
  ASSERT_TRUE(key_.WriteText(u"DISPLAYNAME", u"second"));
  String text;
  ASSERT_TRUE(key_.ReadText(u"displayname", text));
  EXPECT_EQ(text, u"second");
  ASSERT_TRUE(key_.DeleteValue(u"displayName"));
  EXPECT_FALSE(key_.ReadText(u"DisplayName", text));
  EXPECT_FALSE(key_.DeleteValue(u"DisplayName"));
  EXPECT_EQ(GetLastOSError(), platform::ErrorFileNotFound);
}

TEST_F(Registry, AKeyOpenedForReadingRefusesChanges) {
  ASSERT_TRUE(key_.WriteText(u"Kept", u"value"));
  RegistryKey reader = RegistryKey::Open(RegistryRoot::CurrentUser, TestKey, RegistryAccess::Read);
  ASSERT_TRUE(reader.IsOpen());
  EXPECT_FALSE(reader.WriteText(u"New", u"value"));
  EXPECT_EQ(GetLastOSError(), platform::ErrorAccessDenied);
  EXPECT_FALSE(reader.DeleteValue(u"Kept"));
  EXPECT_EQ(GetLastOSError(), platform::ErrorAccessDenied);

  RegistryKey writer =
      RegistryKey::Open(RegistryRoot::CurrentUser, TestKey, RegistryAccess::ReadWrite);
  ASSERT_TRUE(writer.IsOpen());
  EXPECT_TRUE(writer.WriteText(u"New", u"value"));
}

TEST_F(Registry, OpeningNeedsAnExistingKeyAndAPathWithoutLeadingBackslash) {
  EXPECT_FALSE(
      RegistryKey::Open(RegistryRoot::CurrentUser, PathOf(u"Missing"), RegistryAccess::Read)
          .IsOpen());
  EXPECT_EQ(GetLastOSError(), platform::ErrorFileNotFound);
  EXPECT_FALSE(
      RegistryKey::Open(RegistryRoot::CurrentUser, u"\\" + String(TestKey), RegistryAccess::Read)
          .IsOpen());
  EXPECT_EQ(GetLastOSError(), platform::ErrorBadPathName);
  // Key names ignore case; a trailing backslash is allowed.
  EXPECT_TRUE(RegistryKey::Open(RegistryRoot::CurrentUser, u"SOFTWARE\\UINSTALLER PLATFORM TESTS\\",
                                RegistryAccess::Read)
                  .IsOpen());
}

TEST_F(Registry, CreateMakesTheMissingParentsAndOpensExistingKeys) {
  RegistryKey deep = RegistryKey::Create(RegistryRoot::CurrentUser, PathOf(u"One\\Two\\Three"));
  ASSERT_TRUE(deep.IsOpen());
  ASSERT_TRUE(deep.WriteDword(u"Depth", 3));
  deep.Close();

  RegistryKey again = RegistryKey::Create(RegistryRoot::CurrentUser, PathOf(u"one\\TWO\\three"));
  uint32_t depth = 0;
  ASSERT_TRUE(again.ReadDword(u"Depth", depth));
  EXPECT_EQ(depth, 3u);
}

TEST_F(Registry, SubkeysAreEnumeratedByNameIgnoringCase) {
  for (const char16_t* name : {u"b", u"ab1", u"C", u"a", u"AB"}) {
    ASSERT_TRUE(RegistryKey::Create(RegistryRoot::CurrentUser, PathOf(name)).IsOpen());
  }
  uint32_t count = 0;
  ASSERT_TRUE(key_.GetSubkeyCount(count));
  EXPECT_EQ(count, 5u);
  std::vector<String> names;
  ASSERT_TRUE(key_.GetSubkeyNames(names));
  EXPECT_EQ(names, (std::vector<String>{u"a", u"AB", u"ab1", u"b", u"C"}));
}

TEST_F(Registry, ASubkeyNameMustFitItsBufferWithTheTerminatingZero) {
  ASSERT_TRUE(RegistryKey::Create(RegistryRoot::CurrentUser, PathOf(u"Name")).IsOpen());
  String name;
  ASSERT_TRUE(key_.GetSubkeyName(0, 5, name));
  EXPECT_EQ(name, u"Name");
  EXPECT_FALSE(key_.GetSubkeyName(0, 4, name));
  EXPECT_EQ(GetLastOSError(), platform::ErrorMoreData);
  EXPECT_FALSE(key_.GetSubkeyName(1, 64, name));
  EXPECT_EQ(GetLastOSError(), platform::ErrorNoMoreItems);
}

TEST_F(Registry, OnlyKeysWithoutSubkeysCanBeDeleted) {
  ASSERT_TRUE(RegistryKey::Create(RegistryRoot::CurrentUser, PathOf(u"Parent\\Child")).IsOpen());
  EXPECT_FALSE(RegistryKey::Delete(RegistryRoot::CurrentUser, PathOf(u"Parent")));
  EXPECT_EQ(GetLastOSError(), platform::ErrorAccessDenied);
  EXPECT_TRUE(RegistryKey::Delete(RegistryRoot::CurrentUser, PathOf(u"PARENT\\child")));
  EXPECT_TRUE(RegistryKey::Delete(RegistryRoot::CurrentUser, PathOf(u"Parent")));
  EXPECT_FALSE(RegistryKey::Delete(RegistryRoot::CurrentUser, PathOf(u"Parent")));
  EXPECT_EQ(GetLastOSError(), platform::ErrorFileNotFound);
}

TEST_F(Registry, AKeyDeletedWhileOpenRefusesEverything) {
  RegistryKey doomed = RegistryKey::Create(RegistryRoot::CurrentUser, PathOf(u"Doomed"));
  ASSERT_TRUE(doomed.IsOpen());
  ASSERT_TRUE(RegistryKey::Delete(RegistryRoot::CurrentUser, PathOf(u"Doomed")));
  EXPECT_FALSE(doomed.WriteDword(u"Value", 1));
  EXPECT_EQ(GetLastOSError(), platform::ErrorKeyDeleted);
  uint32_t count = 0;
  EXPECT_FALSE(doomed.GetSubkeyCount(count));
  EXPECT_EQ(GetLastOSError(), platform::ErrorKeyDeleted);
}

TEST_F(Registry, DeleteTreeRemovesAKeyWithItsSubkeysAndValuesOnly) {
  ASSERT_TRUE(RegistryKey::Create(RegistryRoot::CurrentUser, PathOf(u"Tree\\A\\B"))
                  .WriteText(u"Deep", u"x"));
  ASSERT_TRUE(RegistryKey::Create(RegistryRoot::CurrentUser, PathOf(u"Tree\\C")).IsOpen());
  ASSERT_TRUE(RegistryKey::Create(RegistryRoot::CurrentUser, PathOf(u"Tree")).WriteDword(u"V", 1));
  ASSERT_TRUE(RegistryKey::Create(RegistryRoot::CurrentUser, PathOf(u"Treetop")).IsOpen());

  EXPECT_TRUE(RegistryKey::DeleteTree(RegistryRoot::CurrentUser, PathOf(u"TREE")));
  EXPECT_FALSE(
      RegistryKey::Open(RegistryRoot::CurrentUser, PathOf(u"Tree"), RegistryAccess::Read).IsOpen());
  EXPECT_EQ(GetLastOSError(), platform::ErrorFileNotFound);
  EXPECT_TRUE(RegistryKey::Open(RegistryRoot::CurrentUser, PathOf(u"Treetop"), RegistryAccess::Read)
                  .IsOpen());
  EXPECT_TRUE(key_.IsOpen());
}

TEST_F(Registry, DeleteTreeOfAMissingKeySucceeds) {
  EXPECT_TRUE(RegistryKey::DeleteTree(RegistryRoot::CurrentUser, PathOf(u"Missing")));
  EXPECT_TRUE(RegistryKey::DeleteTree(RegistryRoot::CurrentUser, PathOf(u"Missing\\Deeper")));
}

TEST_F(Registry, AKeyDeletedWithItsParentRefusesEverything) {
  RegistryKey child = RegistryKey::Create(RegistryRoot::CurrentUser, PathOf(u"Tree\\Child"));
  ASSERT_TRUE(child.IsOpen());
  ASSERT_TRUE(RegistryKey::DeleteTree(RegistryRoot::CurrentUser, PathOf(u"Tree")));
  EXPECT_FALSE(child.WriteDword(u"Value", 1));
  EXPECT_EQ(GetLastOSError(), platform::ErrorKeyDeleted);
}

TEST_F(Registry, MovingHandsTheKeyOverAndClosingKeepsTheLastError) {
  RegistryKey moved = std::move(key_);
  EXPECT_FALSE(
      key_.IsOpen());  // NOLINT(bugprone-use-after-move): the moved-from state is the point
  ASSERT_TRUE(moved.IsOpen());
  platform::SetLastOSError(platform::ErrorSharingViolation);
  moved.Close();
  EXPECT_FALSE(moved.IsOpen());
  EXPECT_EQ(GetLastOSError(), platform::ErrorSharingViolation);
}

}  // namespace
