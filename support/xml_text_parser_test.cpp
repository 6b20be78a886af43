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

TEST_P(XMLUtf8Decoder, DecodesAndReplacesOnlyTheBrokenParts) {
  EXPECT_EQ(TVYNTextXMLParser::DecodeUtf8(GetParam().Bytes), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XMLUtf8Decoder,
    testing::Values(
        Utf8Case{"Ascii", "a\x7F", u"a\x7F"}, Utf8Case{"TwoBytes", "\xC3\xA9\xD0\x94", u"éД"},
        Utf8Case{"ThreeBytes", "\xE2\x82\xAC\xEF\xBF\xBF", u"€\xFFFF"},
        Utf8Case{"FourBytesBecomeASurrogatePair", "ok\xF0\x9F\x8E\xB5!", u"ok\U0001F3B5!"},
        Utf8Case{"FirstAndLastFourByteCharacters", "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF",
                 u"\U00010000\U0010FFFF"},
        Utf8Case{"OverlongFormIsReplaced", "\xC0\x80", u"\uFFFD\uFFFD"},
        Utf8Case{"LoneContinuationBytesAreReplaced",
                 "\x9F\xBF"
                 "a",
                 u"\uFFFD\uFFFDa"},
        Utf8Case{"EncodedSurrogateIsReplaced", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        Utf8Case{"MissingContinuationAtTheEnd", "abc\xC3", u"abc\uFFFD"},
        Utf8Case{"ContinuationOutOfRange", "ab\xC3\x41", u"ab\uFFFDA"},
        Utf8Case{"ThirdByteOutOfRangeIsOneBrokenPart", "\xE2\x82\xC0", u"\uFFFD\uFFFD"},
        Utf8Case{"FourBytesCutShort", "\xF0\x9F\x8Ex", u"\uFFFDx"},
        Utf8Case{"BeyondUnicodeIsReplaced", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        Utf8Case{"HighestLeadByte", "\xFF\xBF\xBF", u"\uFFFD\uFFFD\uFFFD"}),
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
        DocumentCase{"InvalidUtf8IsReplacedNotEmptied", "<a k=\"x\xC3\">\xE2\x82y</a>",
                     "a[k=\"x\xEF\xBF\xBD\"]=\"\xEF\xBF\xBDy\""},
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
                     "r{a=\"\xEF\xBF\xBD\xEF\xBF\xBD\" b=\"Да\"}"},
        EncodingCase{"OnlyQuestionMarkDeclarationsCount", Utf8,
                     "<!x encoding=\"windows-1251\"><a>\xC4\xE0</a>",
                     "a=\"\xEF\xBF\xBD\xEF\xBF\xBD\""}),
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

// What the lenient reading passes over is still noted, so that a reader which must not act on a
// damaged document can refuse it; the tree built is the same either way (see BuildsTheTree).
struct ProblemCase {
  const char* Title;
  std::string Input;
  // "line:column message", or empty for a well-formed document.
  std::string Expected;
};

class XMLTextProblem : public testing::TestWithParam<ProblemCase> {};

TEST_P(XMLTextProblem, NotesTheFirstRuleTheTextBreaks) {
  TVYNXMLDocument document;
  document.LoadFromString(GetParam().Input);
  std::string found;
  if (const auto& problem = document.TextProblem()) {
    found = std::to_string(problem->Line) + ":" + std::to_string(problem->Column) + " " +
            StringToUtf8(problem->Message);
  }
  EXPECT_EQ(found, GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XMLTextProblem,
    testing::Values(
        ProblemCase{"WellFormed",
                    "<?xml version=\"1.0\"?>\r\n<!DOCTYPE a>\r\n<!-- c -->\r\n<a k=\"v\" j='w'>\r\n"
                    " <b>x &gt; y</b><![CDATA[<z>]]>\r\n <c/>\r\n</a >\r\n<!-- after -->\r\n",
                    ""},
        ProblemCase{"LenientFormsThatLoseNothing", "<a b c=1>x > y</a>", ""},
        ProblemCase{"ByteOrderMarkIsNoText", "\xEF\xBB\xBF<a/>", ""},
        ProblemCase{"EndTagOfAnotherElement", "<a><b>x</c><d/></zzz>",
                    "1:8 expected </b> to close <b>, found </c>"},
        ProblemCase{"EndTagWithoutName", "<a></>",
                    "1:4 expected </a> to close <a>, found \"</\" "
                    "without a name"},
        ProblemCase{"EndTagAtTheTop", "</x><a/>", "1:1 this end tag closes no open element"},
        ProblemCase{"MalformedTag", "<a><b c=<d/></b></a>",
                    "1:9 the tag <b> is not closed with \">\" before this \"<\""},
        ProblemCase{"CommentInsideATag", "<a <!--x-->/>",
                    "1:4 the tag <a> is not closed with \">\" before this \"<\""},
        ProblemCase{"EndTagStartInsideATag", "<a b</a>",
                    "1:5 the tag <a> is not closed with \">\" before this \"</\""},
        ProblemCase{"NoName", "<>x</>", "1:1 a \"<\" is not followed by an element name"},
        ProblemCase{"UnclosedElement", "<a>\n<b>text", "2:8 the file ends before </b> closes <b>"},
        ProblemCase{"TagCutByTheEnd", "<a b=\"1",
                    "1:6 the quoted value that starts here has no "
                    "closing quote"},
        ProblemCase{"TextBeforeTheTopElement", "hello <a/>",
                    "1:1 text stands outside the top element"},
        ProblemCase{"TextAfterTheTopElement", "<a/>\r\n>",
                    "2:1 text stands outside the top element"},
        ProblemCase{"UnclosedCData", "<a><![CDATA[x</a>",
                    "1:4 the CDATA section that starts here is not closed with \"]]>\""}),
    CaseTitle());

// A byte order mark says how the file is encoded more surely than the settings or a declaration:
// a UTF-16 document reads as its text instead of as no element at all.
struct ByteOrderMarkCase {
  const char* Title;
  std::string Input;
};

std::string Utf16Bytes(StringView text, bool big_endian) {
  const TEncoding& encoding = big_endian ? TEncoding::BigEndianUnicode() : TEncoding::Unicode();
  const std::vector<uint8_t> mark = encoding.GetPreamble();
  const std::vector<uint8_t> bytes = encoding.GetBytes(text);
  return std::string(mark.begin(), mark.end()) + std::string(bytes.begin(), bytes.end());
}

class XMLByteOrderMark : public testing::TestWithParam<ByteOrderMarkCase> {};

TEST_P(XMLByteOrderMark, ChoosesTheEncodingOverSettingsAndDeclaration) {
  TVYNXMLDocument document;
  TVYNTextXMLParser parser(GetParam().Input, Ansi);
  parser.Parse(document);
  EXPECT_EQ(Picture(document), "r{a[k=\"Д\"]=\"Да\"}");
  EXPECT_FALSE(parser.Problem().has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XMLByteOrderMark,
    testing::Values(
        ByteOrderMarkCase{"Utf8", "\xEF\xBB\xBF<r><a k='\xD0\x94'>\xD0\x94\xD0\xB0</a></r>"},
        ByteOrderMarkCase{"Utf8OverAnAnsiDeclaration",
                          "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"windows-1251\"?>"
                          "<r><a k='\xD0\x94'>\xD0\x94\xD0\xB0</a></r>"},
        ByteOrderMarkCase{"Utf16LittleEndian",
                          Utf16Bytes(u"<?xml version=\"1.0\" encoding=\"utf-16\"?>\r\n"
                                     u"<r><a k='Д'>Да</a></r>",
                                     false)},
        ByteOrderMarkCase{"Utf16BigEndian", Utf16Bytes(u"<r><a k='Д'>Да</a></r>", true)}),
    CaseTitle());

}  // namespace
