// The strict XML check: what passes, and for each way a document breaks, where it is found.
#include "tools/setupkit/xml_well_formed.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/case_title.h"

namespace {

TEST(XmlWellFormed, WellFormedDocumentsPass) {
  const std::string documents[] = {
      "<Install/>",
      "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<!-- the demo -->\r\n"
      "<Install>\r\n  <product>\r\n    <Settings>\r\n"
      "      <Setting name=\"Publisher\" value='Fish &amp; Chips &#x1F3B5; &#233;'/>\r\n"
      "    </Settings>\r\n    <Components><File name=\"$DEST\\a.txt\">a.txt</File></Components>\r\n"
      "  </product>\r\n</Install>\r\n<!-- after -->\r\n",
      "<!DOCTYPE Install [ <!ENTITY x \"y\"> ]><Install><![CDATA[<not> & markup]]></Install>",
      "<Install><?target data?>text \xF0\x9F\x8E\xB5 &lt;&gt;&quot;&apos;</Install>",
      // UTF-16 with its byte order mark, as some editors save.
      std::string("\xFF\xFE<\0I\0/\0>\0", 10),
  };
  for (const std::string& document : documents) {
    const auto problem = FindXmlWellFormednessProblem(document);
    EXPECT_FALSE(problem.has_value()) << document << "\n"
                                      << (problem ? StringToUtf8(problem->Message) : "");
  }
}

TEST(XmlWellFormed, ReadsElementsWithWhereTheyStart) {
  TXmlElement root;
  ASSERT_FALSE(
      ReadWellFormedXml("<Install>\r\n  <Settings>\r\n"
                        "    <Setting name=\"Publisher\" value=\"A &amp; B &#x1F3B5;\"/>\r\n"
                        "  </Settings>\r\n  <File>a&lt;b<![CDATA[ & c]]></File>\r\n"
                        "</Install>",
                        root)
          .has_value());
  EXPECT_EQ(root.Name, u"Install");
  ASSERT_EQ(root.Children.size(), 2u);
  const TXmlElement& settings = root.Children[0];
  EXPECT_EQ(settings.Line, 2);
  EXPECT_EQ(settings.Column, 3);
  ASSERT_EQ(settings.Children.size(), 1u);
  const TXmlElement& setting = settings.Children[0];
  EXPECT_EQ(setting.Line, 3);
  ASSERT_EQ(setting.Attributes.size(), 2u);
  EXPECT_EQ(setting.Attributes[1].Name, u"value");
  EXPECT_EQ(setting.Attributes[1].Value, u"A & B \U0001F3B5");
  EXPECT_EQ(setting.Attributes[1].Column, 31);
  EXPECT_EQ(root.Children[1].Text, u"a<b & c");
}

struct BrokenCase {
  const char* Title;
  std::string Document;
  int Line;
  int Column;
  std::string Message;
};

class XmlWellFormedBroken : public testing::TestWithParam<BrokenCase> {};

TEST_P(XmlWellFormedBroken, TellsWhereAndWhatWasExpected) {
  const BrokenCase& broken = GetParam();
  const auto problem = FindXmlWellFormednessProblem(broken.Document);
  ASSERT_TRUE(problem.has_value());
  EXPECT_EQ(problem->Line, broken.Line);
  EXPECT_EQ(problem->Column, broken.Column);
  EXPECT_EQ(StringToUtf8(problem->Message), broken.Message);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XmlWellFormedBroken,
    testing::Values(
        BrokenCase{"Empty", "", 1, 1, "the document has no root element; expected <Install>"},
        BrokenCase{"WrongClosingTag", "<Install>\n  <Components>\n  </Component>\n</Install>", 3, 3,
                   "</Component> closes <Components> (opened at line 2, column 3); expected "
                   "</Components>"},
        BrokenCase{"Truncated", "<Install>\r\n  <product>\r\n    <Settings>", 3, 5,
                   "the file ends before <Settings> is closed; expected </Settings>"},
        BrokenCase{"AngleBrackets", "<<<", 1, 2,
                   "expected an element name after \"<\" (write \"&lt;\" for \"<\") (a letter, "
                   "\"_\" or \":\" first)"},
        BrokenCase{"Garbage", "ProductName=ZELO", 1, 1,
                   "text outside the root element; expected \"<\""},
        BrokenCase{"AttributeTwice", "<File name=\"a\" name=\"b\"/>", 1, 16,
                   "the attribute \"name\" is given twice"},
        BrokenCase{"UnquotedValue", "<File name=a/>", 1, 12,
                   "the value of \"name\" must be in quotes"},
        BrokenCase{"NoBlankBetweenAttributes", "<File a=\"1\"b=\"2\"/>", 1, 12,
                   "expected a blank, \">\" or \"/>\" after the name or attribute of <File>"},
        BrokenCase{"UnknownEntity", "<Install>Fish &chips;</Install>", 1, 15,
                   "unknown entity \"&chips;\"; only &amp; &lt; &gt; &quot; &apos; and character "
                   "numbers are known"},
        BrokenCase{"BareAmpersand", "<Install>Fish & Chips</Install>", 1, 16,
                   "expected an entity name after \"&\" (write \"&amp;\" for \"&\") (a letter, "
                   "\"_\" or \":\" first)"},
        BrokenCase{"NoCharacter", "<Install>&#xD800;</Install>", 1, 10,
                   "the character reference names no character"},
        BrokenCase{"OpenComment", "<Install><!-- no end</Install>", 1, 10,
                   "the comment is not closed; expected \"-->\""},
        BrokenCase{"DashesInComment", "<Install><!-- a -- b --></Install>", 1, 17,
                   "\"--\" inside a comment; a comment ends at the first \"--\", with \"-->\""},
        BrokenCase{"LateDeclaration", "\n<?xml version=\"1.0\"?><Install/>", 2, 1,
                   "the XML declaration must come first in the file, before anything else"},
        BrokenCase{"TwoRoots", "<Install/>\n<Install/>", 2, 1,
                   "a second root element; everything belongs inside the first"},
        BrokenCase{"CdataBeforeTheRoot", "<![CDATA[x]]><Install/>", 1, 1,
                   "expected the root element's start tag, such as <Install>"},
        BrokenCase{"EndTagFirst", "</Install>", 1, 1,
                   "expected the root element's start tag, such as <Install>"},
        BrokenCase{"CloseWithoutOpen", "<Install/></Install>", 1, 11,
                   "a closing tag after the root element, which closes nothing"},
        BrokenCase{"LessThanInValue", "<File name=\"a<b\"/>", 1, 14,
                   "\"<\" inside an attribute value; write \"&lt;\""},
        BrokenCase{"ColumnsCountCharacters", "<Install>\xF0\x9F\x8E\xB5\xC3\xA9 &x</Install>", 1,
                   13, "the reference \"&x\" is not closed; expected \";\""}),
    CaseTitle());

}  // namespace
