// The long-path form of file names.
#include "platform/long_path.h"

#include <gtest/gtest.h>

namespace {

TEST(LongPath, ShortNamesStayAsTheyAre) {
  EXPECT_EQ(platform::ToLongPathForm(u"C:\\a\\b.txt"), u"C:\\a\\b.txt");
  const String just_short = u"C:\\" + String(256, u'x');  // 259 characters
  EXPECT_EQ(platform::ToLongPathForm(just_short), just_short);
}

TEST(LongPath, NamesOf260CharactersOrMoreGetThePrefix) {
  const String local = u"C:\\" + String(257, u'x');
  EXPECT_EQ(platform::ToLongPathForm(local), u"\\\\?\\" + local);
  const String share = u"\\\\server\\share\\" + String(250, u'y');
  EXPECT_EQ(platform::ToLongPathForm(share), u"\\\\?\\UNC\\server\\share\\" + String(250, u'y'));
  const String already = u"\\\\?\\" + local;
  EXPECT_EQ(platform::ToLongPathForm(already), already);
}

TEST(LongPath, ThePrefixFormOfAFullPathAtAnyLength) {
  EXPECT_EQ(platform::WithLongPathPrefix(u"C:\\a"), u"\\\\?\\C:\\a");
  EXPECT_EQ(platform::WithLongPathPrefix(u"\\\\server\\share\\a"), u"\\\\?\\UNC\\server\\share\\a");
  EXPECT_EQ(platform::WithLongPathPrefix(u"\\\\?\\C:\\a"), u"\\\\?\\C:\\a");
}

}  // namespace
