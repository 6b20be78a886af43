// Locale-aware comparison with and without letter case, and upper case for name hashes.
#include "platform/locale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

TEST(CompareText, CaseDecidesOnlyBetweenTextsThatDifferInNothingElse) {
  std::vector<String> texts = {u"b", u"B", u"A", u"a", u"ab", u"Aa"};
  std::sort(texts.begin(), texts.end(),
            [](const String& a, const String& b) { return platform::CompareText(a, b) < 0; });
  EXPECT_EQ(texts, (std::vector<String>{u"a", u"A", u"Aa", u"ab", u"b", u"B"}));
  EXPECT_EQ(platform::CompareText(u"Name", u"Name"), 0);
  EXPECT_NE(platform::CompareText(u"Name", u"name"), 0);
}

TEST(CompareTextIgnoringCase, EmptyViewsAreEqualWhereverTheyPoint) {
  EXPECT_EQ(platform::CompareTextIgnoringCase(StringView(), u""), 0);
  EXPECT_EQ(platform::CompareText(StringView(), StringView()), 0);
  EXPECT_LT(platform::CompareTextIgnoringCase(StringView(), u"a"), 0);
  EXPECT_GT(platform::CompareText(u"a", StringView()), 0);
}

TEST(UpperCase, KeepsTheLengthAndAgreesWithComparisonIgnoringCase) {
  EXPECT_EQ(platform::UpperCase(u"Section ä-1"), u"SECTION Ä-1");
  EXPECT_EQ(platform::UpperCase(u"русский"), u"РУССКИЙ");
  EXPECT_EQ(platform::UpperCase(u""), u"");
  const String pairs[][2] = {{u"\u017F", u"s"}, {u"\u00E9", u"\u00C9"}};
  for (const auto& pair : pairs) {
    EXPECT_EQ(platform::UpperCase(pair[0]).size(), pair[0].size());
    if (platform::CompareTextIgnoringCase(pair[0], pair[1]) == 0) {
      EXPECT_EQ(platform::UpperCase(pair[0]), platform::UpperCase(pair[1]));
    }
  }
}

}  // namespace
