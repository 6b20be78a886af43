// Character references and escapes: decoding, encoding, and when a value needs "preserve".
#include "support/xml_helper.h"

#include <gtest/gtest.h>

#include "tests/support/case_title.h"

namespace {

struct TextCase {
  const char* Title;
  String Input;
  String Expected;
};

class XMLDecodeText : public testing::TestWithParam<TextCase> {};

TEST_P(XMLDecodeText, ReplacesEscapesAndReferences) {
  EXPECT_EQ(TVYNXMLHelper::DecodeText(GetParam().Input), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XMLDecodeText,
    testing::Values(
        TextCase{"NamedDecimalHexUnknownAndEscapedAmpersand", u"&amp;&#65;&#x42;&nbsp;\\&",
                 u"&ABnbsp&"},
        TextCase{"AllFiveNames", u"&lt;&gt;&quot;&apos;&amp;", u"<>\"'&"},
        TextCase{"NamesAreCaseSensitive", u"&AMP;&Lt;", u"AMPLt"},
        TextCase{"HexadecimalPrefixes", u"&#X41;&#0x42;&#0X43;&#x6a;", u"ABCj"},
        TextCase{"CharactersBeyondFFFFBecomeSurrogatePairs",
                 u"&#x1F3B5;&#127925;&#x10000;&#x10FFFF;",
                 u"\U0001F3B5\U0001F3B5\U00010000\U0010FFFF"},
        TextCase{"NumbersBeyondUnicodeGiveTheReplacementCharacter", u"a&#x110000;&#4294967295;b",
                 u"a\uFFFD\uFFFDb"},
        TextCase{"APairWrittenAsTwoReferencesIsOneCharacter", u"&#xD83C;&#xDFB5;", u"\U0001F3B5"},
        TextCase{"NumbersThatDoNotParseGiveNul", u"&#;&#x;&#12a;&#1#2;&#4294967296;",
                 String(5, u'\0')},
        TextCase{"NumericReferenceMayMakeALoneSurrogate", u"&#xD800;", u"\xD800"},
        TextCase{"NotAReference", u"& amp; &amp &; &a-b; a&", u"& amp; &amp &; &a-b; a&"},
        TextCase{"BackslashEscapesTheFiveCharactersOnly", u"\\<\\>\\\"\\'\\&\\n\\\\",
                 u"<>\"'&\\n\\\\"},
        TextCase{"EscapedAmpersandDoesNotStartAReference", u"\\&amp;", u"&amp;"},
        TextCase{"TrailingBackslashStays", u"a\\", u"a\\"},
        TextCase{"UnicodeIsCopied", u"Да €", u"Да €"}),
    CaseTitle());

class XMLEncodeText : public testing::TestWithParam<TextCase> {};

TEST_P(XMLEncodeText, EscapesTheFiveCharactersButKeepsReferences) {
  EXPECT_EQ(TVYNXMLHelper::EncodeText(GetParam().Input), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XMLEncodeText,
    testing::Values(
        TextCase{"AllFive", u"a<b>&\"'", u"a&lt;b&gt;&amp;&quot;&apos;"},
        TextCase{"ExistingReferencesAreNotEscapedTwice", u"&amp;&#65;&nbsp;", u"&amp;&#65;&nbsp;"},
        TextCase{"AmpersandWithoutReference", u"& x &a-b; &;", u"&amp; x &amp;a-b; &amp;;"},
        TextCase{"BackslashAndUnicodeStay", u"\\ Да", u"\\ Да"}, TextCase{"Empty", u"", u""}),
    CaseTitle());

struct PreserveCase {
  const char* Title;
  String Value;
  bool Expected;
};

class XMLNeedsPreserve : public testing::TestWithParam<PreserveCase> {};

TEST_P(XMLNeedsPreserve, WhenTheReaderWouldTrimOrBreakTheValue) {
  EXPECT_EQ(TVYNXMLHelper::NeedsPreserve(GetParam().Value), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, XMLNeedsPreserve,
                         testing::Values(PreserveCase{"Empty", u"", false},
                                         PreserveCase{"Plain", u"a b", false},
                                         PreserveCase{"LeadingSpace", u" a", true},
                                         PreserveCase{"TrailingTab", u"a\t", true},
                                         PreserveCase{"LeadingCR", u"\ra", true},
                                         PreserveCase{"InnerLineFeed", u"a\nb", true},
                                         PreserveCase{"InnerCR", u"a\rb", true},
                                         PreserveCase{"InnerTab", u"a\tb", false},
                                         PreserveCase{"OnlySpace", u" ", true}),
                         CaseTitle());

}  // namespace
