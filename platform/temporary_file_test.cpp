// Temporary files: named as the system names them, made empty, never twice the same.
#include "platform/temporary_file.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <set>

#include "platform/file_name.h"
#include "platform/file_system.h"
#include "platform/locale.h"
#include "tests/support/temporary_folder.h"

namespace {

bool IsHexadecimal(StringView text) {
  if (text.empty() || text.size() > 4) return false;
  for (const char16_t unit : text) {
    if (unit > 0x7F || !std::iswxdigit(unit)) return false;
  }
  return true;
}

TEST(TemporaryFile, IsANewEmptyFileNamedAfterThePrefix) {
  const TemporaryFolder folder;
  // With and without the trailing backslash, and with a prefix longer than the three used.
  const String given[] = {folder.Path(), platform::ExcludeTrailingPathDelimiter(folder.Path())};
  std::set<String> names;
  for (const String& place : given) {
    for (int i = 0; i < 3; ++i) {
      String path;
      ASSERT_TRUE(platform::CreateTemporaryFile(place, u"ZELOsetup", path));
      EXPECT_TRUE(platform::SameFileName(platform::ExtractFilePath(path), folder.Path()))
          << StringToUtf8(path);
      const String name = platform::ExtractFileName(path);
      ASSERT_GT(name.size(), 7u) << StringToUtf8(name);
      EXPECT_EQ(name.substr(0, 3), u"ZEL");
      EXPECT_TRUE(platform::SameFileName(platform::ExtractFileExt(name), u".tmp"));
      EXPECT_TRUE(IsHexadecimal(StringView(name).substr(3, name.size() - 7))) << StringToUtf8(name);
      EXPECT_EQ(folder.ReadFile(name), "");
      names.insert(platform::UpperCase(name));
    }
  }
  EXPECT_EQ(names.size(), 6u);
}

TEST(TemporaryFile, AShortPrefixIsUsedWhole) {
  const TemporaryFolder folder;
  String path;
  ASSERT_TRUE(platform::CreateTemporaryFile(folder.Path(), u"u", path));
  EXPECT_EQ(platform::ExtractFileName(path).substr(0, 1), u"u");
  EXPECT_TRUE(platform::FileExists(path));
}

TEST(TemporaryFile, AMissingFolderFails) {
  const TemporaryFolder folder;
  String path = u"unchanged";
  EXPECT_FALSE(platform::CreateTemporaryFile(folder.PathOf(u"missing"), u"tmp", path));
  EXPECT_EQ(path, u"unchanged");
  EXPECT_FALSE(platform::FolderExists(folder.PathOf(u"missing")));
}

}  // namespace
