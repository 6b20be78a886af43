// RC4 and the package key.
#include "support/crypto.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

std::vector<uint8_t> Crypt(const std::vector<uint8_t>& key, const std::vector<uint8_t>& input) {
  TRC4State state;
  TRC4::Initialize(state, key);
  std::vector<uint8_t> output(input.size());
  TRC4::Crypt(state, input.data(), output.data(), static_cast<int64_t>(input.size()));
  return output;
}

// Published test vectors of the cipher.
TEST(RC4, KnownVectors) {
  EXPECT_EQ(Crypt(Bytes("Key"), Bytes("Plaintext")),
            (std::vector<uint8_t>{0xBB, 0xF3, 0x16, 0xE8, 0xD9, 0x40, 0xAF, 0x0A, 0xD3}));
  EXPECT_EQ(Crypt(Bytes("Wiki"), Bytes("pedia")),
            (std::vector<uint8_t>{0x10, 0x21, 0xBF, 0x04, 0x20}));
  EXPECT_EQ(Crypt(Bytes("Secret"), Bytes("Attack at dawn")),
            (std::vector<uint8_t>{0x45, 0xA0, 0x1F, 0x64, 0x5F, 0xC3, 0x5B, 0x38, 0x35, 0x52, 0x54,
                                  0x4B, 0x9B, 0xF5}));
}

TEST(RC4, PiecesOfAnySizeGiveTheOutputOfOneCall) {
  std::vector<uint8_t> input(70000);
  for (size_t i = 0; i < input.size(); ++i) input[i] = static_cast<uint8_t>(i * 7);
  const std::vector<uint8_t> key = MakePackageKey();
  const std::vector<uint8_t> whole = Crypt(key, input);

  TRC4State state;
  TRC4::Initialize(state, key);
  std::vector<uint8_t> pieces(input.size());
  size_t offset = 0;
  for (size_t piece : {1u, 5u, 65536u}) {
    TRC4::Crypt(state, input.data() + offset, pieces.data() + offset, piece);
    offset += piece;
  }
  TRC4::Crypt(state, input.data() + offset, pieces.data() + offset,
              static_cast<int64_t>(input.size() - offset));
  EXPECT_EQ(pieces, whole);
}

TEST(RC4, InPlaceTwiceWithTwoStatesKeyedAlikeRestoresTheInput) {
  const std::vector<uint8_t> original = Bytes("the setup package body");
  std::vector<uint8_t> buffer = original;
  TRC4State first, second;
  TRC4::Initialize(first, MakePackageKey());
  TRC4::Initialize(second, MakePackageKey());
  TRC4::Crypt(first, buffer.data(), buffer.data(), static_cast<int64_t>(buffer.size()));
  EXPECT_NE(buffer, original);
  TRC4::Crypt(second, buffer.data(), buffer.data(), static_cast<int64_t>(buffer.size()));
  EXPECT_EQ(buffer, original);
}

TEST(RC4, CountOfZeroOrLessDoesNothing) {
  TRC4State state;
  TRC4::Initialize(state, Bytes("k"));
  const TRC4State before = state;
  uint8_t byte = 0x42;
  TRC4::Crypt(state, &byte, &byte, 0);
  TRC4::Crypt(state, &byte, &byte, -5);
  EXPECT_EQ(byte, 0x42);
  EXPECT_EQ(state.I, before.I);
  EXPECT_EQ(state.J, before.J);
}

TEST(PackageKey, IsTheSeedLeastSignificantByteFirst) {
  const std::vector<uint8_t> key = MakePackageKey(0x12345678);
  EXPECT_EQ(key, (std::vector<uint8_t>{0x78, 0x56, 0x34, 0x12}));
  EXPECT_EQ(MakePackageKey().size(), 4u);
  EXPECT_EQ(MakePackageKey()[0], static_cast<uint8_t>(PackageKeySeed));
}

}  // namespace
