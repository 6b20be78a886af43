// The text writer: exact output for each layout setting, and text that reads back as the same
// tree.
#include "support/xml_text_builder.h"

#include <gtest/gtest.h>

#include <string>

#include "support/memory_stream.h"
#include "support/xml_document.h"
#include "support/xml_test_tree.h"
#include "tests/support/case_title.h"

namespace {

using xml_test::Picture;

constexpr const char* Declaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n";

// root[id="1"]{item[name="a<b"]="x&y" empty group="g"{leaf=" lead"}}
class XMLTextBuilderTree {
 public:
  XMLTextBuilderTree() {
    TVYNXMLNode* root = document.Add("root");
    root->Attributes.Add("id", u"1");
    TVYNXMLNode* item = root->Add("item");
    item->Attributes.Add("name", u"a<b");
    item->NodeValue = u"x&y";
    root->Add("empty");
    TVYNXMLNode* group = root->Add("group");
    group->NodeValue = u"g";
    group->Add("leaf")->NodeValue = u" lead";
  }

  std::string Write(const TVYNXMLWriteSettings& settings) const {
    TMemoryStream stream;
    TVYNTextXMLBuilder(stream, settings).Build(document);
    return {stream.Bytes().begin(), stream.Bytes().end()};
  }

  TVYNXMLDocument document;
};

struct LayoutCase {
  const char* Title;
  TVYNXMLWriteSettings Settings;
  std::string Expected;
};

class XMLTextBuilderLayout : public testing::TestWithParam<LayoutCase> {};

TEST_P(XMLTextBuilderLayout, WritesExactlyThisText) {
  const XMLTextBuilderTree tree;
  const std::string text = tree.Write(GetParam().Settings);
  EXPECT_EQ(text, Declaration + GetParam().Expected);

  TVYNXMLDocument reread;
  reread.LoadFromString(text);
  EXPECT_EQ(Picture(reread), Picture(tree.document));
}

INSTANTIATE_TEST_SUITE_P(
    Settings, XMLTextBuilderLayout,
    testing::Values(
        LayoutCase{
            "IndentAndLineBreaks",
            {.Format = xfText, .AttributesOnNewLines = false, .Indent = true, .LineBreaks = true},
            "<root id=\"1\">\r\n"
            "\t<item name=\"a&lt;b\">x&amp;y</item>\r\n"
            "\t<empty/>\r\n"
            "\t<group>g\r\n"
            "\t\t<leaf xml:space=\"preserve\"> lead</leaf>\r\n"
            "\t</group>\r\n"
            "</root>\r\n"},
        LayoutCase{
            "Nothing",
            {.Format = xfText, .AttributesOnNewLines = false, .Indent = false, .LineBreaks = false},
            "<root id=\"1\"><item name=\"a&lt;b\">x&amp;y</item><empty/><group>g"
            "<leaf xml:space=\"preserve\"> lead</leaf></group></root>"},
        LayoutCase{
            "Everything",
            {.Format = xfText, .AttributesOnNewLines = true, .Indent = true, .LineBreaks = true},
            "<root\r\n\tid=\"1\"\r\n>\r\n"
            "\t<item\r\n\t\tname=\"a&lt;b\"\r\n\t>x&amp;y</item>\r\n"
            "\t<empty/>\r\n"
            "\t<group>g\r\n"
            "\t\t<leaf\r\n\t\t\txml:space=\"preserve\"\r\n\t\t> lead</leaf>\r\n"
            "\t</group>\r\n"
            "</root>\r\n"},
        LayoutCase{
            "AttributesOnNewLinesOnly",
            {.Format = xfText, .AttributesOnNewLines = true, .Indent = false, .LineBreaks = false},
            "<root\r\n\tid=\"1\"><item\r\n\t\tname=\"a&lt;b\">x&amp;y</item><empty/>"
            "<group>g<leaf\r\n\t\t\txml:space=\"preserve\"> lead</leaf></group></root>"}),
    CaseTitle());

// Inside an element that needs "preserve", the writer adds no line break after the value and
// no indent before the children, so that the value reads back unchanged.
TEST(XMLTextBuilder, PreservedValueWithChildrenGetsNoLayoutInside) {
  TVYNXMLDocument document;
  TVYNXMLNode* root = document.Add("r");
  TVYNXMLNode* text = root->Add("p");
  text->NodeValue = u"line 1\r\nline 2 ";
  text->Add("c")->NodeValue = u"v";
  TMemoryStream stream;
  TVYNTextXMLBuilder(stream, {}).Build(document);
  const std::string written(stream.Bytes().begin(), stream.Bytes().end());
  EXPECT_EQ(written, std::string(Declaration) +
                         "<r>\r\n"
                         "\t<p xml:space=\"preserve\">line 1\r\nline 2 <c>v</c>\r\n"
                         "\t</p>\r\n"
                         "</r>\r\n");

  TVYNXMLDocument reread;
  reread.LoadFromString(written);
  EXPECT_EQ(Picture(reread), Picture(document));
}

TEST(XMLTextBuilder, ValuesReadBackUnchanged) {
  const String values[] = {
      u" leading", u"trailing\t", u"  ", u"a\nb", u"<&>\"'", u"Да €", u"&amp; stays a reference"};
  for (const String& value : values) {
    TVYNXMLDocument document;
    TVYNXMLNode* root = document.Add("r");
    root->Add("v")->NodeValue = value;
    root->Add("a")->Attributes.Add("k", value);
    TMemoryStream stream;
    TVYNTextXMLBuilder(stream, {}).Build(document);
    TVYNXMLDocument reread;
    reread.LoadFromString(
        {reinterpret_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size())});
    const String expected = value == u"&amp; stays a reference" ? u"& stays a reference" : value;
    EXPECT_EQ(reread.FindNodeByPath({"r", "v"}, false)->NodeValue, expected);
    EXPECT_EQ(reread.FindNodeByPath({"r", "a"}, false)->Attributes.GetValue("k"), expected);
  }
}

TEST(XMLTextBuilder, EmptyDocumentIsTheDeclarationOnly) {
  TMemoryStream stream;
  TVYNTextXMLBuilder(stream, {}).Build(TVYNXMLDocument());
  EXPECT_EQ(std::string(stream.Bytes().begin(), stream.Bytes().end()), Declaration);
}

}  // namespace
