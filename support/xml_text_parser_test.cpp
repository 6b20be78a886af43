// The lenient text parser: tokens, the UTF-8 decoder, what the document loop builds from
// well-formed and malformed input, and text encodings chosen by settings and declarations.
#include "support/xml_text_parser.h"

#include <gtest/gtest.h>

#include <string>

#include "support/encoding.h"
#include "support/xml_document.h"
#include "support/xml_test_tree.h"
#include "tests/support/case_title.h"

namespace {

using xml_test::Picture;

// Tokens as "kind:text" joined by "|".
std::string TokenPicture(std::string_view input) {
  TVYNTextXMLParser parser(input, {.CodePage = 0, .Mode = xemUtf8});
  std::string picture;
  TVYNXMLToken token;
  while (parser.NextToken(token)) {
    if (!picture.empty()) picture += "|";
    picture += std::to_string(static_cast<int>(token.Kind)) + ":";
    picture += parser.TokenText(token);
  }
  return picture;
}

struct TokenCase {
  const char* Title;
  std::string Input;
  std::string Expected;
};

class XMLTokenizer : public testing::TestWithParam<TokenCase> {};

TEST_P(XMLTokenizer, CutsTheInputIntoTokens) {
  EXPECT_EQ(TokenPicture(GetParam().Input), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XMLTokenizer,
    testing::Values(
        TokenCase{"StartTagWithAttributes", " <a b=\"x y\" c='1'>",
                  "2:<|0:a|0:b|1:=|0:x y|0:c|1:=|0:1|3:>"},
        TokenCase{"BlanksAreTabCrLfAndSpace", "\t\r\n a \x0B", "0:a|0:\x0B"},
        TokenCase{"EmptyAndEndTags", "<a/></a><?x ?>", "2:<|0:a|4:/>|5:</|0:a|3:>|2:<|0:?x|4:?>"},
        TokenCase{"QuestionMarkInsideAWord", "<?x?>", "2:<|0:?x?|3:>"},
        TokenCase{"LoneSlashes", "a / b/c", "0:a|0:/|0:b|0:/|0:c"},
        TokenCase{"WordsEndAtEqualsAndAngleBrackets", "a=b<c>d", "0:a|1:=|0:b|2:<|0:c|3:>|0:d"},
        TokenCase{"QuotesDoNotEndWords", "a\"b c'd", "0:a\"b|0:c'd"},
        TokenCase{"QuotedTextEndsAtAngleBracketsOrTheEnd", "\"ab<c 'd>e \"open",
                  "0:ab|2:<|0:c|0:d|3:>|0:e|0:open"},
        TokenCase{"EmptyQuotedText", "''x", "0:|0:x"},
        TokenCase{"Comment", "<!-- a <b> -->x", "6: a <b> |0:x"},
        TokenCase{"ClosingMarkerIsSearchedAfterTheOpeningOne", "<!-->-->", "6:>"},
        TokenCase{"CData", "<![CDATA[<a>&amp;]]>x", "7:<a>&amp;|0:x"},
        TokenCase{"UnclosedCommentIsAnOrdinaryTagStart", "<!-- x", "2:<|0:!--|0:x"},
        TokenCase{"EmptyCommentFillingTheRestIsNotAComment", "<!---->", "2:<|0:!----|3:>"},
        TokenCase{"EmptyCommentBeforeMoreInput", "<!---->x", "6:|0:x"},
        TokenCase{"EmptyCDataFillingTheRestIsNotCData", "<![CDATA[]]>", "2:<|0:![CDATA[]]|3:>"},
        TokenCase{"DocumentType", "<!DOCTYPE a>", "2:<|0:!DOCTYPE|0:a|3:>"},
        TokenCase{"NothingButBlanks", " \r\n\t", ""}),
    CaseTitle());

TEST(XMLTokenizer, ManyUnclosedCommentsStayLinear) {
  // Every "<!--" and "<![CDATA[" here lacks its closing marker. Searching the rest of the input
  // again for each of them would take hours; remembering the first failed search keeps the
  // tokenizer linear. Each one gives "<" and a word.
  std::string input;
  for (int i = 0; i < 200'000; ++i) input += "<!--<![CDATA[";
  TVYNTextXMLParser parser(input, {});
  TVYNXMLToken token;
  size_t count = 0;
  while (parser.NextToken(token)) ++count;
  EXPECT_EQ(count, 200'000u * 4);
}

struct Utf8Case {
  const char* Title;
  std::string Bytes;
  String Expected;
};

class XMLUtf8Decoder : public testing::TestWithParam<Utf8Case> {};

TEST_P(XMLUtf8Decoder, DecodesOrEmptiesTheWholeRun) {
  EXPECT_EQ(TVYNTextXMLParser::DecodeUtf8(GetParam().Bytes), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XMLUtf8Decoder,
    testing::Values(Utf8Case{"Ascii", "a\x7F", u"a\x7F"},
                    Utf8Case{"TwoBytes", "\xC3\xA9\xD0\x94", u"éД"},
                    Utf8Case{"ThreeBytes", "\xE2\x82\xAC\xEF\xBF\xBF", u"€\xFFFF"},
                    // The lead byte's bit 5 alone picks the length; nothing else of it is checked.
                    Utf8Case{"OverlongFormIsTaken", "\xC0\x80", String(1, u'\0')},
                    Utf8Case{"ContinuationByteAsLeadStartsTwoBytes", "\x9F\xBF", u"\x07FF"},
                    Utf8Case{"ContinuationByteWithBit5AsLeadStartsThreeBytes", "\xA1\x80\x80",
                             u"\x1000"},
                    Utf8Case{"EncodedSurrogateIsTaken", "\xED\xA0\x80", u"\xD800"},
                    Utf8Case{"MissingContinuationAtTheEnd", "abc\xC3", u""},
                    Utf8Case{"ContinuationOutOfRange", "ab\xC3\x41", u""},
                    Utf8Case{"ThirdByteOutOfRange", "\xE2\x82\xC0", u""},
                    Utf8Case{"FourByteLeadGoesBeyondFFFF", "ok\xF0\x9F\x98\x80", u""},
                    Utf8Case{"HighestLeadByte", "\xFF\xBF\xBF", u""}),
    CaseTitle());

struct DocumentCase {
  const char* Title;
  std::string Input;
  std::string Expected;
};

class XMLDocumentParser : public testing::TestWithParam<DocumentCase> {};

TEST_P(XMLDocumentParser, BuildsTheTree) {
  TVYNXMLDocument document;
  document.LoadFromString(GetParam().Input);
  EXPECT_EQ(Picture(document), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XMLDocumentParser,
    testing::Values(
        DocumentCase{"Nested",
                     "<?xml version=\"1.0\"?>\r\n<a k=\"v\">\r\n <b>x</b>\r\n <c/>\r\n</a>",
                     "a[k=\"v\"]{b=\"x\" c}"},
        DocumentCase{"ValueIsTrimmed", "<a>  two words \r\n</a>", "a=\"two words\""},
        DocumentCase{"TrimmingDropsEveryByteUpToSpace", "<a>\x01 x\x1F</a>", "a=\"x\""},
        DocumentCase{"BlankContentLeavesNoValue", "<a> \t </a>", "a"},
        DocumentCase{"ValueComesBeforeTheFirstChild", "<a> x <b/> y </a>", "a=\"x\"{b}"},
        DocumentCase{"TextAfterAnEmptyChildGoesToTheParentAtTheNextTag", "<a> x <b/> y <c/> z </a>",
                     "a=\"y\"{b c}"},
        DocumentCase{"TextAfterANestedEndTagIsNotKept", "<a><b>1</b> tail </a>", "a{b=\"1\"}"},
        DocumentCase{"CommentDropsTheTextAroundIt", "<a>before<!-- c -->after</a>", "a"},
        DocumentCase{"PreserveKeepsBlanksAndTheAttributeGoes",
                     "<a xml:space=\"preserve\">  word  </a>", "a=\"  word  \""},
        DocumentCase{"PreserveIgnoresCase", "<a XML:SPACE='PreServe'> x </a>", "a=\" x \""},
        DocumentCase{"OtherSpaceValuesTrimAndTheAttributeGoes",
                     "<a k=\"1\" xml:space=\"default\"> x </a>", "a[k=\"1\"]=\"x\""},
        DocumentCase{"PreserveReachesChildrenUntilAnEndTag",
                     "<a xml:space=\"preserve\"><b> x </b><c> y </c></a>", "a{b=\" x \" c=\"y\"}"},
        DocumentCase{"EmptyElementEndsPreserve", "<a xml:space=\"preserve\"><e/><b> x </b></a>",
                     "a{e b=\"x\"}"},
        DocumentCase{"EmptyPreserveElementDoesNotPreserve",
                     "<a><e xml:space=\"preserve\"/> x <b/></a>", "a=\"x\"{e b}"},
        DocumentCase{"CDataBecomesTheValue", "<a>x<![CDATA[ <&amp;> ]]>y</a>", "a=\" <&> \""},
        DocumentCase{"CDataAtTheTopGoesToTheDocument", "<![CDATA[x]]><a/>", "a"},
        DocumentCase{"ReferencesAndEscapes", "<a>&amp;&#65;&#x42;&nbsp;\\&</a>", "a=\"&ABnbsp&\""},
        DocumentCase{"AttributesWithoutValuesAndWithoutQuotes",
                     "<a b c=1 d=\"two words\" e='&lt;'/>",
                     "a[b=\"\" c=\"1\" d=\"two words\" e=\"<\"]"},
        DocumentCase{"NameAfterEqualsStartsAnotherAttribute", "<a b= =c d/>",
                     "a[b=\"=\" c=\"\" d=\"\"]"},
        DocumentCase{"EndTagNamesAreNeverMatched", "<a><b>x</c><d/></zzz>", "a{b=\"x\" d}"},
        DocumentCase{"EndTagAtTheTopEndsTheParse", "</x><a/>", ""},
        DocumentCase{"ExtraEndTagEndsTheParse", "<a/></a><b/>", "a"},
        DocumentCase{"MalformedTagEndsTheParseAndKeepsWhatWasBuilt", "<a><b c=<d/></b></a>",
                     "a{b[c=\"\"]}"},
        DocumentCase{"CommentInsideATagIsMalformed", "<a <!--x-->/><b/>", "a"},
        DocumentCase{"DocumentTypeIsSkipped", "<!DOCTYPE a [x]><a/>", "a"},
        DocumentCase{"DeclarationInsideTextIsSkippedButTheTextRunsOn", "<a>x <!stuff> y</a>",
                     "a=\"x <!stuff> y\""},
        DocumentCase{"TextOutsideElementsIsIgnored", "hello = 'x' > <a/>", "a"},
        DocumentCase{"UnclosedElementKeepsNoValue", "<a>text", "a"},
        DocumentCase{"TagCutByTheEnd", "<a b=\"1", "a[b=\"1\"]"},
        DocumentCase{"EmptyName", "<>x</>", "=\"x\""},
        DocumentCase{"InvalidUtf8EmptiesTheValue", "<a k=\"\xC3\">\xE2\x82</a>", "a[k=\"\"]"},
        DocumentCase{"NamesAreRawBytes", "<\xC3\xA9 \xFF=\"1\"/>", "\xC3\xA9[\xFF=\"1\"]"},
        DocumentCase{"Empty", "", ""}),
    CaseTitle());

TEST(XMLDocumentParser, SecondTopLevelElementRaisesAndKeepsTheFirst) {
  TVYNXMLDocument document;
  EXPECT_THROW(document.LoadFromString("<a><b/></a><c/>"), EVYNXMLDocument);
  EXPECT_EQ(Picture(document), "a{b}");
}

TEST(XMLDocumentParser, DeepNestingIsReadWithoutRecursion) {
  constexpr int Depth = 200'000;
  std::string input;
  for (int i = 0; i < Depth; ++i) input += "<n>";
  input += "leaf";
  TVYNXMLDocument document;
  document.LoadFromString(input);
  int depth = 0;
  const TVYNXMLNode* node = &document;
  for (; node->Count() > 0; node = node->Items(0)) ++depth;
  EXPECT_EQ(depth, Depth);
}

struct EncodingCase {
  const char* Title;
  TVYNXMLReadSettings Settings;
  std::string Input;
  std::string Expected;
};

class XMLTextEncoding : public testing::TestWithParam<EncodingCase> {};

TEST_P(XMLTextEncoding, DecodesTextWithTheEncodingInForce) {
  TVYNXMLDocument document;
  TVYNTextXMLParser(GetParam().Input, GetParam().Settings).Parse(document);
  EXPECT_EQ(Picture(document), GetParam().Expected);
}

// "\xC4\xE0" is "Да" in code page 1251 and not UTF-8; "\xD0\x94\xD0\xB0" is "Да" in UTF-8.
const TVYNXMLReadSettings Ansi{.CodePage = 0, .Mode = xemAnsi};
const TVYNXMLReadSettings Utf8{.CodePage = 0, .Mode = xemUtf8};
const TVYNXMLReadSettings Cyrillic{.CodePage = 1251, .Mode = xemCodePage};
const TVYNXMLReadSettings UnknownMode{.CodePage = 1251, .Mode = TVYNXMLEncodingMode{7}};

INSTANTIATE_TEST_SUITE_P(
    Cases, XMLTextEncoding,
    testing::Values(
        EncodingCase{"Utf8Mode", Utf8, "<a k='\xD0\x94'>\xD0\x94\xD0\xB0</a>", "a[k=\"Д\"]=\"Да\""},
        EncodingCase{"CodePageMode", Cyrillic, "<a k='\xC4'>\xC4\xE0</a>", "a[k=\"Д\"]=\"Да\""},
        EncodingCase{"Utf8InCapitals", Cyrillic,
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>\xD0\x94\xD0\xB0</a>",
                     "a=\"Да\""},
        EncodingCase{"WindowsCodePage", Utf8, "<?xml encoding='Windows-1251'?><a>\xC4\xE0</a>",
                     "a=\"Да\""},
        EncodingCase{"WindowsPrefixIgnoresCase", Utf8,
                     "<?xml encoding='WINDOWS-1251'?><a>\xC4\xE0</a>", "a=\"Да\""},
        EncodingCase{"DeclarationChangesWhatIsDecodedAfterIt", Utf8,
                     "<r><a>\xC4\xE0</a><?xml encoding=\"windows-1251\"?><b>\xC4\xE0</b></r>",
                     "r{a b=\"Да\"}"},
        EncodingCase{"OnlyQuestionMarkDeclarationsCount", Utf8,
                     "<!x encoding=\"windows-1251\"><a>\xC4\xE0</a>", "a"}),
    CaseTitle());

// The system's ANSI code page decides wherever the settings or a declaration say so; what it is
// depends on the system, so these compare with the ANSI encoding's own result.
struct AnsiCase {
  const char* Title;
  TVYNXMLReadSettings Settings;
  std::string Input;
};

class XMLAnsiEncoding : public testing::TestWithParam<AnsiCase> {};

TEST_P(XMLAnsiEncoding, DecodesWithTheSystemsAnsiCodePage) {
  TVYNXMLDocument document;
  TVYNTextXMLParser(GetParam().Input, GetParam().Settings).Parse(document);
  const TVYNXMLNode* element = document.FindNodeByPath({"r", "a"}, false);
  ASSERT_NE(element, nullptr);
  const uint8_t bytes[] = {0xC4, 0xE0};
  EXPECT_EQ(element->NodeValue, TEncoding::ANSI().GetString(bytes, sizeof bytes));
  EXPECT_FALSE(element->NodeValue.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XMLAnsiEncoding,
    testing::Values(
        AnsiCase{"AnsiMode", Ansi, "<r><a>\xC4\xE0</a></r>"},
        AnsiCase{"UnknownMode", UnknownMode, "<r><a>\xC4\xE0</a></r>"},
        AnsiCase{"NumberThatDoesNotParse", Utf8,
                 "<?xml encoding=\"windows-12x\"?><r><a>\xC4\xE0</a></r>"},
        AnsiCase{"NoNumber", Utf8, "<?xml encoding=\"windows-\"?><r><a>\xC4\xE0</a></r>"},
        AnsiCase{"NegativeNumber", Utf8, "<?xml encoding=\"windows--5\"?><r><a>\xC4\xE0</a></r>"},
        AnsiCase{"OtherEncodingName", Utf8, "<?xml encoding=\"koi8-r\"?><r><a>\xC4\xE0</a></r>"},
        AnsiCase{"Utf8WithoutHyphen", Utf8, "<?xml encoding=\"utf8\"?><r><a>\xC4\xE0</a></r>"}),
    CaseTitle());

}  // namespace
