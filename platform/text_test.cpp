// UTF-8 and UTF-16 conversions and trimming.
#include "platform/text.h"

#include <gtest/gtest.h>
#include "tests/support/case_title.h"

namespace {

TEST(Utf8, RoundTripsEveryPlane) {
  const String text = u"A é € 日本 \U0001F3B5";
  EXPECT_EQ(Utf8ToString(StringToUtf8(text)), text);
  EXPECT_EQ(StringToUtf8(u"€"), "\xE2\x82\xAC");
}

struct InvalidUtf8Case {
  const char* Title;
  std::string Bytes;
  String Expected;
};

class InvalidUtf8 : public testing::TestWithParam<InvalidUtf8Case> {};

TEST_P(InvalidUtf8, BecomesReplacementCharacters) {
  EXPECT_EQ(Utf8ToString(GetParam().Bytes), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, InvalidUtf8,
                         testing::Values(InvalidUtf8Case{"LoneContinuation",
                                                         "a\x80"
                                                         "b",
                                                         u"a\uFFFDb"},
                                         InvalidUtf8Case{"Overlong", "\xC0\xAF", u"\uFFFD\uFFFD"},
                                         InvalidUtf8Case{"EncodedSurrogate", "\xED\xA0\x80",
                                                         u"\uFFFD\uFFFD\uFFFD"},
                                         InvalidUtf8Case{"TruncatedAtEnd", "x\xE2\x82", u"x\uFFFD"},
                                         InvalidUtf8Case{"BeyondUnicode", "\xF5\x80\x80\x80",
                                                         u"\uFFFD\uFFFD\uFFFD\uFFFD"}),
                         CaseTitle());

TEST(Utf8, UnpairedSurrogateBecomesReplacementCharacter) {
  const String text = {u'a', char16_t(0xD800), u'b'};
  EXPECT_EQ(StringToUtf8(text),
            "a\xEF\xBF\xBD"
            "b");
}

TEST(Trim, RemovesControlCharactersAndBlanksFromBothEnds) {
  EXPECT_EQ(Trim(u" \t\r\n value \0"), u"value");
  EXPECT_EQ(Trim(u"   "), u"");
  EXPECT_EQ(Trim(u"a b"), u"a b");
}

}  // namespace
