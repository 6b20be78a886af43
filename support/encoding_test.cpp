// Text encodings: byte images, strict and lenient decoding, and code pages by number.
#include "support/encoding.h"

#include <gtest/gtest.h>

namespace {

std::vector<uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

TEST(Encoding, Utf16ImagesInBothByteOrders) {
  EXPECT_EQ(TEncoding::Unicode().GetBytes(u"A€"), Bytes(std::string_view("A\0\xAC\x20", 4)));
  EXPECT_EQ(TEncoding::BigEndianUnicode().GetBytes(u"A€"),
            Bytes(std::string_view("\0A\x20\xAC", 4)));
  EXPECT_EQ(TEncoding::BigEndianUnicode().GetString(Bytes(std::string_view("\0A\x20\xAC", 4))),
            u"A€");
  EXPECT_EQ(TEncoding::Unicode().GetPreamble(), Bytes("\xFF\xFE"));
  EXPECT_EQ(TEncoding::UTF8().GetPreamble(), Bytes("\xEF\xBB\xBF"));
}

TEST(Encoding, StrictUtf8RefusesInvalidBytesButAcceptsASpelledOutReplacementCharacter) {
  String text;
  EXPECT_FALSE(TEncoding::UTF8().TryGetString(reinterpret_cast<const uint8_t*>("ab\xE9"), 3, text));
  EXPECT_TRUE(
      TEncoding::UTF8().TryGetString(reinterpret_cast<const uint8_t*>("\xEF\xBF\xBD"), 3, text));
  EXPECT_EQ(text, u"\uFFFD");
}

TEST(Encoding, CodePagesByNumber) {
  EXPECT_EQ(&TEncoding::GetEncoding(65001), &TEncoding::UTF8());
  EXPECT_EQ(&TEncoding::GetEncoding(1200), &TEncoding::Unicode());
  EXPECT_EQ(&TEncoding::GetEncoding(0), &TEncoding::ANSI());
  EXPECT_EQ(&TEncoding::GetEncoding(1251), &TEncoding::GetEncoding(1251));
  EXPECT_EQ(TEncoding::GetEncoding(1251).GetString(Bytes("\xC4\xE0")), u"Да");
  EXPECT_EQ(TEncoding::GetEncoding(1251).GetBytes(u"Да"), Bytes("\xC4\xE0"));
}

}  // namespace
