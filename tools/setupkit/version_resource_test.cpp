// The version resource a built setup carries: laid out byte for byte as the resource compiler
// lays it out, read back by an independent walker and by the module's reader, numbers parsed
// from the script's version, and the strings taken from the script's settings.
#include "tools/setupkit/version_resource.h"

#include <gtest/gtest.h>

#include <iterator>

#include "package/installer_script.h"
#include "support/memory_stream.h"
#include "tests/support/case_title.h"
#include "tiny_program_bytes.h"
#include "tools/setupkit/pe_resources.h"

namespace {

uint16_t At16(const std::vector<uint8_t>& bytes, size_t at) {
  return static_cast<uint16_t>(bytes.at(at) | bytes.at(at + 1) << 8);
}

uint32_t At32(const std::vector<uint8_t>& bytes, size_t at) {
  return At16(bytes, at) | uint32_t{At16(bytes, at + 2)} << 16;
}

// A block as the test walks it, written from the format's description: the length, the value
// length and the type, the key, then value and children each on a 32-bit boundary.
struct Block {
  size_t Start = 0;
  uint16_t Length = 0, ValueLength = 0, Type = 0;
  String Key;
  size_t Value = 0;

  Block(const std::vector<uint8_t>& bytes, size_t start)
      : Start(start),
        Length(At16(bytes, start)),
        ValueLength(At16(bytes, start + 2)),
        Type(At16(bytes, start + 4)) {
    size_t at = start + 6;
    while (At16(bytes, at) != 0) {
      Key += static_cast<char16_t>(At16(bytes, at));
      at += 2;
    }
    Value = (at + 2 + 3) / 4 * 4;
  }
  size_t End() const { return Start + Length; }
};

size_t Aligned(size_t at) {
  return (at + 3) / 4 * 4;
}

std::vector<Block> ChildrenOf(const std::vector<uint8_t>& bytes, const Block& parent,
                              size_t first) {
  std::vector<Block> children;
  for (size_t at = Aligned(first); at < parent.End(); at = Aligned(children.back().End())) {
    children.emplace_back(bytes, at);
    EXPECT_EQ(at % 4, 0u) << StringToUtf8(children.back().Key);
    EXPECT_LE(children.back().End(), parent.End()) << StringToUtf8(children.back().Key);
  }
  return children;
}

String TextAt(const std::vector<uint8_t>& bytes, size_t at, size_t characters) {
  String text;
  for (size_t i = 0; i < characters; ++i) text += static_cast<char16_t>(At16(bytes, at + 2 * i));
  return text;
}

TVersionInfo ZeloInfo() {
  TVersionInfo info;
  info.FileVersion = {5, 0, 3, 1};
  info.ProductVersion = {5, 0, 3, 1};
  info.Strings = {{u"CompanyName", u"ZELO Team"},
                  {u"FileDescription", u"ZELO Setup"},
                  {u"FileVersion", u"5.00"},
                  {u"ProductName", u"ZELO"},
                  {u"ProductVersion", u"5.00"}};
  return info;
}

TEST(VersionResource, LaidOutAsTheSystemReadsIt) {
  const std::vector<uint8_t> bytes = EncodeVersionResource(ZeloInfo());
  const Block root(bytes, 0);
  EXPECT_EQ(root.Key, u"VS_VERSION_INFO");
  EXPECT_EQ(root.Length, bytes.size());
  EXPECT_EQ(root.Type, 0);
  ASSERT_EQ(root.ValueLength, 52);
  EXPECT_EQ(At32(bytes, root.Value), 0xFEEF04BDu);
  EXPECT_EQ(At32(bytes, root.Value + 8), 0x00050000u);   // file version 5.0
  EXPECT_EQ(At32(bytes, root.Value + 12), 0x00030001u);  // .3.1
  EXPECT_EQ(At32(bytes, root.Value + 16), 0x00050000u);  // product version
  EXPECT_EQ(At32(bytes, root.Value + 20), 0x00030001u);
  EXPECT_EQ(At32(bytes, root.Value + 32), 0x00040004u);  // Windows NT
  EXPECT_EQ(At32(bytes, root.Value + 36), 1u);           // an application

  const std::vector<Block> blocks = ChildrenOf(bytes, root, root.Value + 52);
  ASSERT_EQ(blocks.size(), 2u);
  EXPECT_EQ(blocks[0].Key, u"StringFileInfo");
  EXPECT_EQ(blocks[1].Key, u"VarFileInfo");
  const std::vector<Block> tables = ChildrenOf(bytes, blocks[0], blocks[0].Value);
  ASSERT_EQ(tables.size(), 1u);
  EXPECT_EQ(tables[0].Key, u"040904B0");
  const std::vector<Block> strings = ChildrenOf(bytes, tables[0], tables[0].Value);
  const TVersionInfo zelo = ZeloInfo();
  ASSERT_EQ(strings.size(), zelo.Strings.size());
  for (size_t i = 0; i < strings.size(); ++i) {
    const auto& [key, value] = zelo.Strings[i];
    EXPECT_EQ(strings[i].Key, key);
    EXPECT_EQ(strings[i].Type, 1);
    // Text values count characters, the terminating zero included, and end the block.
    EXPECT_EQ(strings[i].ValueLength, value.size() + 1);
    EXPECT_EQ(TextAt(bytes, strings[i].Value, value.size() + 1), value + u'\0');
    EXPECT_EQ(strings[i].End(), strings[i].Value + 2 * (value.size() + 1));
  }
  const std::vector<Block> variables = ChildrenOf(bytes, blocks[1], blocks[1].Value);
  ASSERT_EQ(variables.size(), 1u);
  EXPECT_EQ(variables[0].Key, u"Translation");
  EXPECT_EQ(variables[0].Type, 0);
  EXPECT_EQ(variables[0].ValueLength, 4);
  EXPECT_EQ(At32(bytes, variables[0].Value), 0x04B00409u);
  EXPECT_EQ(variables[0].End(), bytes.size());
}

// The tiny program's version information, as windres wrote it, comes out byte for byte the
// same from the encoder, apart from the fields windres leaves 0 (flags mask, system, type).
TEST(VersionResource, MatchesTheResourceCompilersLayout) {
  const std::vector<uint8_t> program(std::begin(TinyProgramBytes), std::end(TinyProgramBytes));
  std::vector<uint8_t> compiled;
  for (const TPeResource& resource : ReadResources(program)) {
    if (!resource.Type.IsName && resource.Type.Number == PeResourceTypeVersion) {
      compiled.assign(resource.Data.begin(), resource.Data.end());
    }
  }
  ASSERT_FALSE(compiled.empty());
  const TVersionInfo read = DecodeVersionResource(compiled);
  EXPECT_EQ(read.FileVersion, (TVersionNumbers{1, 0, 0, 0}));
  EXPECT_EQ(read.Language, 0x409);
  EXPECT_EQ(read.CodePage, 1200);
  ASSERT_EQ(read.Strings.size(), 1u);
  EXPECT_EQ(read.Find(u"FileDescription"), u"Tiny program");

  std::vector<uint8_t> encoded = EncodeVersionResource(read);
  ASSERT_EQ(encoded.size(), compiled.size());
  const size_t fixed = Block(compiled, 0).Value;
  for (const size_t field : {24, 32, 36}) {
    for (size_t i = 0; i < 4; ++i) encoded[fixed + field + i] = compiled[fixed + field + i];
  }
  EXPECT_EQ(encoded, compiled);
}

TEST(VersionResource, ReadsBackWhatItWrote) {
  TVersionInfo info = ZeloInfo();
  info.Language = 0x407;
  info.Strings.emplace_back(u"Comments", u"");  // left out
  info.Strings.emplace_back(u"LegalCopyright", u"\u00A9 2025 \u017DELO");
  const TVersionInfo read = DecodeVersionResource(EncodeVersionResource(info));
  EXPECT_EQ(read.FileVersion, info.FileVersion);
  EXPECT_EQ(read.ProductVersion, info.ProductVersion);
  EXPECT_EQ(read.Language, 0x407);
  EXPECT_EQ(read.CodePage, 1200);
  info.Strings.erase(info.Strings.end() - 2);
  EXPECT_EQ(read.Strings, info.Strings);
  EXPECT_FALSE(read.Find(u"Comments"));
}

// Whatever the resource is cut to or whichever byte is damaged, the answer is what it says or
// a refusal; the sanitizers catch any read outside it.
TEST(VersionResource, EveryCutAndEveryDamagedByteGivesAnAnswerOrAReason) {
  const std::vector<uint8_t> bytes = EncodeVersionResource(ZeloInfo());
  const auto attempt = [](const std::vector<uint8_t>& resource) {
    try {
      DecodeVersionResource(resource);
    } catch (const EVersionResourceError&) {
    }
  };
  for (size_t size = 0; size < bytes.size(); ++size) {
    attempt(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(size)));
  }
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::vector<uint8_t> damaged = bytes;
    damaged[i] ^= 0xFF;
    attempt(damaged);
  }
}

TEST(VersionResource, RefusesLongerTextsThanItsLengthsHold) {
  TVersionInfo info;
  info.Strings = {{u"Comments", String(40000, u'x')}};
  EXPECT_THROW(EncodeVersionResource(info), EVersionResourceError);
}

struct NumbersCase {
  const char* Title;
  const char16_t* Text;
  std::optional<TVersionNumbers> Numbers;
};

class VersionNumbers : public testing::TestWithParam<NumbersCase> {};

TEST_P(VersionNumbers, Parse) {
  EXPECT_EQ(ParseVersionNumbers(GetParam().Text), GetParam().Numbers);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, VersionNumbers,
    testing::Values(NumbersCase{"Four", u"5.0.3.1", TVersionNumbers{5, 0, 3, 1}},
                    NumbersCase{"TwoWithLeadingZero", u"5.00", TVersionNumbers{5, 0, 0, 0}},
                    NumbersCase{"One", u"12", TVersionNumbers{12, 0, 0, 0}},
                    NumbersCase{"Largest", u"65535.65535.65535.65535",
                                TVersionNumbers{65535, 65535, 65535, 65535}},
                    NumbersCase{"TooLarge", u"65536", std::nullopt},
                    NumbersCase{"Five", u"1.2.3.4.5", std::nullopt},
                    NumbersCase{"Empty", u"", std::nullopt},
                    NumbersCase{"Words", u"5.00 beta", std::nullopt},
                    NumbersCase{"Comma", u"5,0", std::nullopt},
                    NumbersCase{"TrailingDot", u"5.", std::nullopt},
                    NumbersCase{"DoubleDot", u"5..1", std::nullopt},
                    NumbersCase{"Negative", u"-1", std::nullopt},
                    NumbersCase{"ManyDigits", u"000000000000000000001", TVersionNumbers{1}}),
    CaseTitle());

std::unique_ptr<TInstallerScript> Script(const std::string& settings) {
  TMemoryStream stream;
  const std::string text =
      "<Install><product><Settings>" + settings + "</Settings></product></Install>";
  stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
  stream.SetPosition(0);
  auto script = std::make_unique<TInstallerScript>();
  script->Load(stream);
  return script;
}

TEST(VersionResource, ProductInformationComesFromTheScript) {
  const auto script = Script(
      "<S name=\"ProductName\" value=\"ZELO\"/><S name=\"ProductVersion\" value=\"5.00\"/>"
      "<S name=\"ProductVersionNo\" value=\"5.0.3.1\"/><S name=\"Publisher\" value=\"ZELO "
      "Team\"/>");
  const TVersionInfo info = ProductVersionInfo(*script, 0x407);
  EXPECT_EQ(info.Language, 0x407);
  EXPECT_EQ(info.FileVersion, (TVersionNumbers{5, 0, 3, 1}));
  EXPECT_EQ(info.ProductVersion, (TVersionNumbers{5, 0, 3, 1}));
  EXPECT_EQ(info.Find(u"ProductName"), u"ZELO");
  EXPECT_EQ(info.Find(u"CompanyName"), u"ZELO Team");
  EXPECT_EQ(info.Find(u"FileDescription"), u"ZELO Setup");
  EXPECT_EQ(info.Find(u"ProductVersion"), u"5.00");
  EXPECT_EQ(info.Find(u"FileVersion"), u"5.00");
}

TEST(VersionResource, NumbersFallBackToTheVersionTextAndToZeros) {
  EXPECT_EQ(
      ProductVersionInfo(*Script("<S name=\"ProductVersion\" value=\"5.1\"/>"), 0).FileVersion,
      (TVersionNumbers{5, 1, 0, 0}));
  EXPECT_EQ(VersionNumberSetting(*Script("<S name=\"ProductVersion\" value=\"5.1\"/>")).first,
            u"ProductVersion");
  const auto beta = Script("<S name=\"ProductVersion\" value=\"5.00 beta\"/>");
  EXPECT_EQ(ProductVersionInfo(*beta, 0).ProductVersion, TVersionNumbers{});
  EXPECT_EQ(ProductVersionInfo(*beta, 0).Find(u"ProductVersion"), u"5.00 beta");
  // Without a name there is no "<ProductName> Setup" either, and empty strings are left out.
  const TVersionInfo bare =
      DecodeVersionResource(EncodeVersionResource(ProductVersionInfo(*Script(""), 0x409)));
  EXPECT_TRUE(bare.Strings.empty());
  EXPECT_EQ(bare.FileVersion, TVersionNumbers{});
}

}  // namespace
