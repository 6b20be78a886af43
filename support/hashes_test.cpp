// The hash family: check values, the ways of feeding data, and the state's lifecycle.
#include "support/hashes.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "support/encoding.h"
#include "support/file_stream.h"
#include "support/memory_stream.h"
#include "tests/support/temporary_folder.h"

namespace {

uint32_t Crc32Of(std::string_view bytes) {
  TVYNHashCRC32 crc;
  THashState state;
  crc.Initialize(state);
  crc.Update(state, bytes.data(), bytes.size());
  return static_cast<uint32_t>(std::get<int32_t>(crc.Finalize(state)));
}

std::vector<uint8_t> Pattern(size_t size) {
  std::vector<uint8_t> bytes(size);
  uint32_t x = 12345;
  for (auto& byte : bytes) {
    x = x * 1103515245 + 12345;
    byte = static_cast<uint8_t>(x >> 16);
  }
  return bytes;
}

TEST(Crc32, CheckValues) {
  EXPECT_EQ(Crc32Of("123456789"), 0x89A1897Fu);
  EXPECT_EQ(Crc32Of("abc"), 0x2C17398Cu);
  EXPECT_EQ(Crc32Of(""), 0u);
}

TEST(Crc32, ChecksumOfABufferIsTheSameAsTheStatefulRun) {
  EXPECT_EQ(TVYNHashCRC32::Checksum("123456789", 9), 0x89A1897Fu);
  EXPECT_EQ(TVYNHashCRC32::Checksum("", 0), 0u);
}

TEST(Crc32, BuiltInTableIsTheNonReflectedTable) {
  const TCRC32Table& table = TVYNHashCRC32::BuiltInTable();
  EXPECT_EQ(table[0], 0u);
  EXPECT_EQ(table[1], 0x04C11DB7u);
  EXPECT_EQ(table[255], 0xB1F740B4u);
}

// The sliced fast path must agree with the one-byte-per-step definition at every length and
// alignment, which a caller-supplied table (the same table, by another address) exercises.
TEST(Crc32, SlicedPathAgreesWithTheByteAtATimeDefinition) {
  const TCRC32Table table_copy = TVYNHashCRC32::BuiltInTable();
  const std::vector<uint8_t> bytes = Pattern(1000);
  TVYNHashCRC32 crc;
  for (size_t offset : {0u, 1u, 3u, 7u}) {
    for (size_t length : {0u, 1u, 15u, 16u, 17u, 31u, 32u, 33u, 100u, 993u}) {
      THashState fast, slow;
      crc.Initialize(fast);
      crc.Initialize(slow, 0, &table_copy);
      crc.Update(fast, bytes.data() + offset, length);
      crc.Update(slow, bytes.data() + offset, length);
      EXPECT_EQ(crc.Finalize(fast), crc.Finalize(slow))
          << "offset " << offset << " length " << length;
    }
  }
}

TEST(Crc32, PiecesGiveTheSameValueAsOneCall) {
  const std::vector<uint8_t> bytes = Pattern(70000);
  TVYNHashCRC32 crc;
  THashState whole, pieces;
  crc.Initialize(whole);
  crc.Update(whole, bytes.data(), bytes.size());
  crc.Initialize(pieces);
  size_t offset = 0;
  for (size_t piece : {1u, 5u, 65536u, 3u}) {
    crc.Update(pieces, bytes.data() + offset, piece);
    offset += piece;
  }
  crc.Update(pieces, bytes.data() + offset, bytes.size() - offset);
  EXPECT_EQ(crc.Finalize(whole), crc.Finalize(pieces));
}

TEST(Crc32, InitialValueContinuesAnEarlierRun) {
  TVYNHashCRC32 crc;
  THashState state;
  crc.Initialize(state, Crc32Of("1234"), nullptr);
  crc.Update(state, "56789", 5);
  EXPECT_EQ(static_cast<uint32_t>(std::get<int32_t>(crc.Finalize(state))), 0x89A1897Fu);
}

TEST(Crc32, ValueIsTheUnsignedBitsAsASignedInteger) {
  // 0x89A1897F has its top bit set, so the signed result is negative.
  EXPECT_EQ(std::get<int32_t>(TVYNHashCRC32().Calculate(u"", TEncoding::UTF8())), 0);
  THashValue value = TVYNHashCRC32().Calculate(u"123456789", TEncoding::UTF8());
  EXPECT_EQ(std::get<int32_t>(value), static_cast<int32_t>(0x89A1897F));
}

TEST(Crc32, TextWithoutEncodingIsHashedAsUtf16LittleEndian) {
  const std::string utf16le("a\0b\0", 4);
  EXPECT_EQ(static_cast<uint32_t>(std::get<int32_t>(TVYNHashCRC32().Calculate(u"ab"))),
            Crc32Of(utf16le));
}

TEST(Crc32, FinalizeReleasesTheStateAndResetStartsAgain) {
  TVYNHashCRC32 crc;
  THashState state;
  crc.Initialize(state);
  crc.Update(state, "xyz", 3);
  crc.Reset(state);
  ASSERT_NE(state, nullptr);
  crc.Update(state, "abc", 3);
  EXPECT_EQ(static_cast<uint32_t>(std::get<int32_t>(crc.Finalize(state))), 0x2C17398Cu);
  EXPECT_EQ(state, nullptr);
}

TEST(BobJenkins, ReferenceValues) {
  constexpr std::string_view text = "Four score and seven years ago";
  EXPECT_EQ(TVYNHashBobJenkins::HashBuffer("", 0, 0), 0xDEADBEEFu);
  EXPECT_EQ(TVYNHashBobJenkins::HashBuffer("", 0, 0xDEADBEEF), 0xBD5B7DDEu);
  EXPECT_EQ(TVYNHashBobJenkins::HashBuffer(text.data(), text.size(), 0), 0x17770551u);
  EXPECT_EQ(TVYNHashBobJenkins::HashBuffer(text.data(), text.size(), 1), 0xCD628161u);
}

TEST(BobJenkins, EachUpdateIsSeededWithTheValueSoFar) {
  TVYNHashBobJenkins hash;
  THashState state;
  hash.Initialize(state);
  hash.Update(state, "ab", 2);
  hash.Update(state, "cd", 2);
  const uint32_t expected =
      TVYNHashBobJenkins::HashBuffer("cd", 2, TVYNHashBobJenkins::HashBuffer("ab", 2, 0));
  EXPECT_EQ(static_cast<uint32_t>(std::get<int32_t>(hash.Finalize(state))), expected);
}

TEST(Md5, DigestIsLowerCaseHex) {
  EXPECT_EQ(std::get<String>(TVYNHashMD5().Calculate(u"", TEncoding::UTF8())),
            u"d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(std::get<String>(TVYNHashMD5().Calculate(u"abc", TEncoding::UTF8())),
            u"900150983cd24fb0d6963f7d28e17f72");
}

TEST(HashStream, MemoryStreamIsHashedFromItsPositionWithoutProgress) {
  TMemoryStream stream(std::vector<uint8_t>{'x', 'x', '1', '2', '3', '4', '5', '6', '7', '8', '9'});
  stream.SetPosition(2);
  TVYNHashCRC32 crc;
  THashState state;
  crc.Initialize(state);
  int progress_calls = 0;
  crc.UpdateStream(state, stream, [&](int64_t, int64_t) { ++progress_calls; });
  EXPECT_EQ(static_cast<uint32_t>(std::get<int32_t>(crc.Finalize(state))), 0x89A1897Fu);
  EXPECT_EQ(progress_calls, 0);
}

TEST(HashStream, MemoryStreamAtItsEndHashesToZero) {
  TMemoryStream stream(std::vector<uint8_t>{1, 2, 3});
  stream.SetPosition(3);
  TVYNHashCRC32 crc;
  THashState state;
  crc.Initialize(state);
  crc.UpdateStream(state, stream);
  EXPECT_EQ(std::get<int32_t>(crc.Finalize(state)), 0);
}

TEST(HashStream, FileIsHashedInBlocksOf256WithProgress) {
  TemporaryFolder folder;
  const std::vector<uint8_t> bytes = Pattern(1000);
  folder.WriteFile(u"data.bin", std::string(bytes.begin(), bytes.end()));

  TFileStream file(folder.PathOf(u"data.bin"), fmOpenRead);
  TVYNHashCRC32 crc;
  THashState from_file, from_memory;
  crc.Initialize(from_file);
  std::vector<std::pair<int64_t, int64_t>> progress;
  crc.UpdateStream(from_file, file,
                   [&](int64_t position, int64_t size) { progress.emplace_back(position, size); });
  crc.Initialize(from_memory);
  crc.UpdateBytes(from_memory, bytes);

  EXPECT_EQ(crc.Finalize(from_file), crc.Finalize(from_memory));
  const std::vector<std::pair<int64_t, int64_t>> expected = {
      {256, 1000}, {512, 1000}, {768, 1000}, {1000, 1000}};
  EXPECT_EQ(progress, expected);
}

TEST(HashStream, UpdateFileReadsAFileByName) {
  TemporaryFolder folder;
  folder.WriteFile(u"check.txt", "123456789");
  TVYNHashCRC32 crc;
  THashState state;
  crc.Initialize(state);
  crc.UpdateFile(state, folder.PathOf(u"check.txt"));
  EXPECT_EQ(static_cast<uint32_t>(std::get<int32_t>(crc.Finalize(state))), 0x89A1897Fu);
}

TEST(HashStream, MissingFileRaisesTheOpenError) {
  TemporaryFolder folder;
  TVYNHashMD5 md5;
  THashState state;
  md5.Initialize(state);
  EXPECT_THROW(md5.UpdateFile(state, folder.PathOf(u"missing.bin")), EFOpenError);
}

}  // namespace
