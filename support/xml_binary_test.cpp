// The compact binary forms: the "SXML" layout and its round trip, reading a hand-made "BXML"
// image, and input that is cut short or forged.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/memory_stream.h"
#include "support/xml_binary_builder.h"
#include "support/xml_binary_reader.h"
#include "support/xml_document.h"
#include "support/xml_test_tree.h"
#include "tests/support/case_title.h"

namespace {

using xml_test::Picture;
using Bytes = std::vector<uint8_t>;

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes Ascii(std::string_view text) {
  return {text.begin(), text.end()};
}

Bytes SaveSXML(const TVYNXMLNode& document) {
  TMemoryStream stream;
  TVYNBinaryXMLBuilder(stream).Build(document);
  return stream.TakeBytes();
}

std::string LoadPicture(const Bytes& image) {
  TMemoryViewStream stream(image.data(), static_cast<int64_t>(image.size()));
  TVYNXMLDocument document;
  document.LoadFromStream(stream);
  return Picture(document);
}

// r[k="v"]{c k="x" r}: the names in order of first use are r, k, c.
TEST(SXMLBuilder, LayoutOfATinyTree) {
  TVYNXMLDocument document;
  TVYNXMLNode* root = document.Add("r");
  root->Attributes.Add("k", u"v");
  root->Add("c");
  root->Add("k")->NodeValue = u"x";
  root->Add("r");

  const Bytes tree = {
      0x01,                         // one top-level element
      0x00, 0x03,                   // name r; attributes and children, no value
      0x01, 0x01, 0x01, 'v', 0x00,  // one attribute: name k, value "v"
      0x03,                         // three children
      0x02, 0x00,                   // c: no flags
      0x01, 0x04, 0x01, 'x', 0x00,  // k: value "x"
      0x00, 0x00,                   // r: no flags
  };
  const Bytes expected = Ascii("SXML") +
                         Bytes{static_cast<uint8_t>(tree.size()), 0, 0, 0, 0, 0, 0, 0} + tree +
                         Bytes{0x03, 0x01, 'r', 0x01, 'k', 0x01, 'c'};
  EXPECT_EQ(SaveSXML(document), expected);
  EXPECT_EQ(LoadPicture(expected), "r[k=\"v\"]{c k=\"x\" r}");
}

TEST(SXMLBuilder, LongValuesUseMultiByteVarints) {
  TVYNXMLDocument document;
  document.Add("a")->NodeValue = String(200, u'Ё');
  const Bytes image = SaveSXML(document);
  // Tree: count, name index, flags, then the length 200 as the varint C8 01.
  ASSERT_GT(image.size(), 17u);
  EXPECT_EQ(Bytes(image.begin() + 12, image.begin() + 17), (Bytes{0x01, 0x00, 0x04, 0xC8, 0x01}));
  EXPECT_EQ(image[17], 0x01);  // low byte of U+0401
  EXPECT_EQ(image[18], 0x04);
  EXPECT_EQ(LoadPicture(image), Picture(document));
}

TEST(SXMLBuilder, RoundTripGivesTheSameTree) {
  TVYNXMLDocument document;
  document.LoadFromString(
      "<Install version='5'>"
      "<Settings><Item name='ProductName' value='ZELO &amp; friends'/><Item/></Settings>"
      "<Files dest='$DEST'>mixed <File name='\xD0\x94.txt'/><File name='b' name='dup'/></Files>"
      "<Text xml:space='preserve'>  padded  </Text><Empty></Empty>"
      "</Install>");
  const std::string before = Picture(document);
  ASSERT_EQ(before,
            "Install[version=\"5\"]{Settings{Item[name=\"ProductName\" value=\"ZELO & friends\"] "
            "Item} Files[dest=\"$DEST\"]=\"mixed\"{File[name=\"Д.txt\"] File[name=\"b\" "
            "name=\"dup\"]} Text=\"  padded  \" Empty}");
  EXPECT_EQ(LoadPicture(SaveSXML(document)), before);
}

TEST(SXMLReader, StopsAfterTheStringTable) {
  TVYNXMLDocument document;
  document.Add("a");
  const Bytes image = SaveSXML(document) + Ascii("trailing");
  TMemoryViewStream stream(image.data(), static_cast<int64_t>(image.size()));
  TVYNXMLDocument reread;
  reread.LoadFromStream(stream);
  EXPECT_EQ(Picture(reread), "a");
  EXPECT_EQ(stream.Position(), static_cast<int64_t>(image.size() - 8));
}

Bytes Int32(int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  return {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
          static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 24)};
}

Bytes Name16(std::string_view name) {
  return Bytes{static_cast<uint8_t>(name.size()), 0} + Ascii(name);
}

Bytes Utf16(std::u16string_view text) {
  Bytes bytes;
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<uint8_t>(unit));
    bytes.push_back(static_cast<uint8_t>(unit >> 8));
  }
  return bytes;
}

// root[id="7"]="hi"{a b}, with a value length below zero on a and a child count below zero
// on b.
const Bytes BxmlImage = Ascii("BXML") + Int32(1) + Name16("root") + Bytes{0x07} + Int32(2) +
                        Utf16(u"hi") + Int32(1) + Name16("id") + Bytes{1, 0} + Utf16(u"7") +
                        Int32(2) + Name16("a") + Bytes{0x04} + Int32(-5) + Name16("b") +
                        Bytes{0x03} + Int32(0) + Int32(-1);

TEST(BXMLReader, ReadsAHandMadeImage) {
  EXPECT_EQ(LoadPicture(BxmlImage), "root[id=\"7\"]=\"hi\"{a b}");
}

TEST(BXMLReader, ReadsNamesAndTextsInFull) {
  const Bytes image = Ascii("BXML") + Int32(1) + Name16("\xD0\x94") + Bytes{0x05} + Int32(1) +
                      Utf16(u"Д") + Int32(1) + Name16("k") + Bytes{2, 0} + Utf16(u"€x");
  EXPECT_EQ(LoadPicture(image), "\xD0\x94[k=\"€x\"]=\"Д\"");
}

TEST(BinaryForms, SecondTopLevelElementRaisesAndKeepsTheFirst) {
  const Bytes bxml = Ascii("BXML") + Int32(2) + Name16("a") + Bytes{0} + Name16("b") + Bytes{0};
  const Bytes sxml = Ascii("SXML") + Bytes{5, 0, 0, 0, 0, 0, 0, 0} + Bytes{2, 0, 0, 1, 0} +
                     Bytes{2, 1, 'a', 1, 'b'};
  for (const Bytes* image : {&bxml, &sxml}) {
    TMemoryViewStream stream(image->data(), static_cast<int64_t>(image->size()));
    TVYNXMLDocument document;
    EXPECT_THROW(document.LoadFromStream(stream), EVYNXMLDocument);
    EXPECT_EQ(Picture(document), "a");
  }
}

// Every cut of a valid image after the magic and one more byte must raise the read error.
TEST(BinaryForms, EveryTruncationRaisesTheReadError) {
  TVYNXMLDocument document;
  document.LoadFromString("<r a='1'><b>text</b><c d='e'/></r>");
  for (const Bytes& image : {SaveSXML(document), BxmlImage}) {
    for (size_t size = 5; size < image.size(); ++size) {
      SCOPED_TRACE(testing::Message() << "first " << size << " of " << image.size() << " bytes");
      const Bytes cut(image.begin(), image.begin() + static_cast<ptrdiff_t>(size));
      EXPECT_THROW(LoadPicture(cut), EReadError);
    }
  }
}

struct ForgedCase {
  const char* Title;
  Bytes Image;
};

class ForgedBinaryXML : public testing::TestWithParam<ForgedCase> {};

// Counts and lengths larger than the input must fail at once, not allocate or loop on them.
TEST_P(ForgedBinaryXML, RaisesTheReadError) {
  EXPECT_THROW(LoadPicture(GetParam().Image), EReadError);
}

const Bytes MaxVarint = {0xFF, 0xFF, 0xFF, 0xFF, 0x0F};
const Bytes EmptyTable = {0x00};
const Bytes TableR = {0x01, 0x01, 'r'};

Bytes Sxml(const Bytes& tree, const Bytes& table) {
  return Ascii("SXML") + Bytes{static_cast<uint8_t>(tree.size()), 0, 0, 0, 0, 0, 0, 0} + tree +
         table;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ForgedBinaryXML,
    testing::Values(
        ForgedCase{"SxmlTopLevelCount", Sxml(MaxVarint, EmptyTable)},
        ForgedCase{"SxmlStringCount", Sxml({0x00}, MaxVarint)},
        ForgedCase{"SxmlStringLength", Sxml({0x00}, Bytes{0x01} + MaxVarint + Ascii("ab"))},
        ForgedCase{"SxmlValueLength", Sxml(Bytes{0x01, 0x00, 0x04} + MaxVarint, TableR)},
        ForgedCase{"SxmlAttributeCount", Sxml(Bytes{0x01, 0x00, 0x01} + MaxVarint, TableR)},
        ForgedCase{"SxmlChildCount", Sxml(Bytes{0x01, 0x00, 0x02} + MaxVarint, TableR)},
        ForgedCase{"SxmlNameIndexOutOfRange", Sxml({0x01, 0x01, 0x00}, TableR)},
        ForgedCase{"SxmlVarintLongerThanFiveBytes",
                   Sxml({0x80, 0x80, 0x80, 0x80, 0x80, 0x00}, EmptyTable)},
        ForgedCase{"SxmlTreeLengthBeyondTheInput",
                   Ascii("SXML") + Bytes{0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0} + Bytes{0, 0}},
        ForgedCase{"SxmlNegativeTreeLength", Ascii("SXML") + Bytes(8, 0xFF) + Bytes{0, 0}},
        ForgedCase{"SxmlTreeRunsIntoTheTable", Ascii("SXML") + Bytes{2, 0, 0, 0, 0, 0, 0, 0} +
                                                   Bytes{0x01, 0x00} + Bytes{0x01, 0x01, 'r'}},
        ForgedCase{"BxmlTopLevelCount", Ascii("BXML") + Int32(0x7FFFFFFF) + Name16("a")},
        ForgedCase{"BxmlValueLength",
                   Ascii("BXML") + Int32(1) + Name16("a") + Bytes{0x04} + Int32(0x7FFFFFFF)},
        ForgedCase{"BxmlAttributeCount",
                   Ascii("BXML") + Int32(1) + Name16("a") + Bytes{0x01} + Int32(0x7FFFFFFF)},
        ForgedCase{"BxmlChildCount",
                   Ascii("BXML") + Int32(1) + Name16("a") + Bytes{0x02} + Int32(0x7FFFFFFF)},
        ForgedCase{"BxmlNameLength", Ascii("BXML") + Int32(1) + Bytes{0xFF, 0xFF, 'a'}}),
    CaseTitle());

TEST(BinaryForms, DeepNestingIsReadAndWrittenWithoutRecursion) {
  constexpr int Depth = 200'000;
  TVYNXMLDocument document;
  TVYNXMLNode* node = &document;
  for (int i = 0; i < Depth; ++i) node = node->Add("n");
  node->NodeValue = u"leaf";

  const Bytes sxml = SaveSXML(document);
  Bytes bxml = Ascii("BXML");
  for (int i = 0; i < Depth; ++i) bxml = std::move(bxml) + Int32(1) + Name16("n") + Bytes{0x02};
  bxml.back() = 0x00;  // the innermost element has no children

  for (const Bytes* image : {&sxml, static_cast<const Bytes*>(&bxml)}) {
    TMemoryViewStream stream(image->data(), static_cast<int64_t>(image->size()));
    TVYNXMLDocument reread;
    reread.LoadFromStream(stream);
    int depth = 0;
    for (const TVYNXMLNode* walk = &reread; walk->Count() > 0; walk = walk->Items(0)) ++depth;
    EXPECT_EQ(depth, Depth);
  }
}

}  // namespace
