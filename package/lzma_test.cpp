// The LZMA glue: round trips through the preprocessors, the properties bytes, and the errors.
#include "package/lzma.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/memory_stream.h"
#include "tests/support/case_title.h"

namespace {

std::vector<uint8_t> MixedBytes(size_t size) {
  std::vector<uint8_t> bytes(size);
  uint32_t x = 7;
  for (size_t i = 0; i < size; ++i) {
    x = x * 1664525 + 1013904223;
    // Text-like runs mixed with noise, so that the coder has something to find.
    bytes[i] = (i / 4096) % 2 ? static_cast<uint8_t>(x >> 24) : static_cast<uint8_t>('a' + i % 7);
  }
  return bytes;
}

std::vector<uint8_t> Encode(const std::vector<uint8_t>& input, int level,
                            const TPreprocessor& preprocessor = {}) {
  TMemoryStream source(input);
  TMemoryStream encoded;
  LzmaEncode(source, encoded, level, preprocessor);
  return encoded.TakeBytes();
}

std::vector<uint8_t> Decode(const std::vector<uint8_t>& encoded, uint64_t size,
                            const TPreprocessor& preprocessor = {}) {
  TMemoryStream source(encoded);
  TMemoryStream decoded;
  LzmaDecode(source, decoded, size, preprocessor);
  return decoded.TakeBytes();
}

class LzmaLevels : public testing::TestWithParam<int> {};

TEST_P(LzmaLevels, RoundTripAndDefaultProperties) {
  const std::vector<uint8_t> input = MixedBytes(300000);
  const std::vector<uint8_t> encoded = Encode(input, GetParam());
  ASSERT_GT(encoded.size(), LzmaPropertiesSize);
  EXPECT_EQ(encoded[0], (2 * 5 + 0) * 9 + 3);  // lc 3, lp 0, pb 2
  EXPECT_EQ(Decode(encoded, input.size()), input);
}

INSTANTIATE_TEST_SUITE_P(Levels, LzmaLevels, testing::Values(0, 4, 9));

TEST(Lzma, PreprocessorsSeeEveryByteIncludingTheProperties) {
  const std::vector<uint8_t> input = MixedBytes(200000);
  const auto flip = [](uint8_t* buffer, size_t count) {
    for (size_t i = 0; i < count; ++i) buffer[i] ^= 0x5A;
  };
  const std::vector<uint8_t> flipped = Encode(input, 2, flip);
  EXPECT_EQ(flipped[0], ((2 * 5 + 0) * 9 + 3) ^ 0x5A);
  EXPECT_EQ(Decode(flipped, input.size(), flip), input);
}

TEST(Lzma, DecodingStopsAtTheSizeAndIgnoresWhatFollows) {
  const std::vector<uint8_t> input = MixedBytes(10000);
  std::vector<uint8_t> encoded = Encode(input, 6);
  encoded.insert(encoded.end(), {0xDE, 0xAD, 0xBE, 0xEF});
  EXPECT_EQ(Decode(encoded, input.size()), input);
  const std::vector<uint8_t> prefix(input.begin(), input.begin() + 1234);
  EXPECT_EQ(Decode(encoded, 1234), prefix);
}

TEST(Lzma, TruncatedDataDecodesShortWithoutRaising) {
  const std::vector<uint8_t> input = MixedBytes(100000);
  std::vector<uint8_t> encoded = Encode(input, 6);
  encoded.resize(encoded.size() / 2);
  EXPECT_LT(Decode(encoded, input.size()).size(), input.size());
  EXPECT_TRUE(Decode({}, 100).empty());
}

TEST(Lzma, ForgedHugeSizeOverATinyStreamEndsQuickly) {
  const std::vector<uint8_t> encoded = Encode(MixedBytes(1000), 6);
  EXPECT_LE(Decode(encoded, 0xFFFFFFFFu).size(), 1000u + 64 * 1024);
}

TEST(Lzma, UnsupportedPropertiesRaiseStatus4) {
  std::vector<uint8_t> encoded = Encode(MixedBytes(1000), 6);
  encoded[0] = 225;
  try {
    Decode(encoded, 1000);
    FAIL() << "expected EInvalidOperation";
  } catch (const EInvalidOperation& error) {
    EXPECT_EQ(error.Message(), u"LZMA Error (4)");
  }
}

// A stream that takes fewer bytes than offered, as a full disk would.
class ShortWriteStream : public TMemoryStream {
 public:
  int64_t Write(const void* buffer, int64_t count) override {
    return TMemoryStream::Write(buffer, count > 1 ? count - 1 : count);
  }
};

TEST(Lzma, ShortWriteRaisesStatus9) {
  TMemoryStream source(MixedBytes(1000));
  ShortWriteStream dest;
  try {
    LzmaEncode(source, dest, 6, {});
    FAIL() << "expected EInvalidOperation";
  } catch (const EInvalidOperation& error) {
    EXPECT_EQ(error.Message(), u"LZMA Error (9)");
  }
}

}  // namespace
