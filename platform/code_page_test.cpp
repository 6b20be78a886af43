// Code-page conversions, checked alike against Windows (under Wine) and the host double.
#include "platform/code_page.h"

#include <gtest/gtest.h>

namespace {

std::vector<uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

String Decode(unsigned code_page, std::string_view bytes) {
  String text;
  EXPECT_TRUE(platform::DecodeCodePage(code_page, reinterpret_cast<const uint8_t*>(bytes.data()),
                                       bytes.size(), text));
  return text;
}

TEST(CodePage, DecodesAndEncodesSingleByteCodePages) {
  EXPECT_EQ(Decode(1252, "caf\xE9 \x80"), u"café €");
  EXPECT_EQ(Decode(1251, "\xCF\xF0\xE8\xE2\xE5\xF2"), u"Привет");
  EXPECT_EQ(platform::EncodeCodePage(1251, u"Привет"), Bytes("\xCF\xF0\xE8\xE2\xE5\xF2"));
  EXPECT_EQ(platform::EncodeCodePage(1252, u"café"), Bytes("caf\xE9"));
}

TEST(CodePage, DecodesDoubleByteCodePages) {
  EXPECT_EQ(Decode(932, "\x93\xFA\x96\x7B"), u"日本");
}

TEST(CodePage, Utf8IsStrict) {
  EXPECT_EQ(Decode(platform::CodePageUtf8, "\xE2\x82\xAC"), u"€");
  String text = u"stale";
  EXPECT_FALSE(platform::DecodeCodePage(platform::CodePageUtf8,
                                        reinterpret_cast<const uint8_t*>("a\xFF"), 2, text));
  EXPECT_EQ(text, u"");
}

TEST(CodePage, LenientDecodingKeepsWhatDecodesAroundABadByte) {
  const auto lenient = [](unsigned code_page, std::string_view bytes) {
    return platform::DecodeCodePageLenient(
        code_page, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  };
  EXPECT_EQ(lenient(932, "\x93\xFA\x96\x7B"), u"日本");
  // Both systems replace the bad byte with one character and keep the text around it.
  const String text = lenient(platform::CodePageUtf8, "a\xFF\xE2\x82\xAC");
  ASSERT_EQ(text.size(), 3u);
  EXPECT_EQ(text[0], u'a');
  EXPECT_EQ(text[2], u'€');
  EXPECT_EQ(lenient(99999, "ab\xE9"), u"ab\u00E9");  // no such code page: byte for byte
  EXPECT_EQ(lenient(1252, ""), u"");
}

TEST(CodePage, CharactersTheCodePageLacksBecomeItsDefaultCharacter) {
  EXPECT_EQ(platform::EncodeCodePage(1252, u"a日b"), Bytes("a?b"));
}

TEST(CodePage, EmptyInputIsEmptyText) {
  String text = u"stale";
  EXPECT_TRUE(platform::DecodeCodePage(1252, nullptr, 0, text));
  EXPECT_EQ(text, u"");
  EXPECT_TRUE(platform::EncodeCodePage(1252, u"").empty());
}

}  // namespace
