// The IPK5 container: building and reading back, the byte layout, lookups and every way a
// damaged package is refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "package/lzma.h"
#include "package/setup_package_builder.h"
#include "package/setup_package_reader.h"
#include "support/crypto.h"
#include "support/hashes.h"
#include "tests/support/case_title.h"
#include "tests/support/temporary_folder.h"

namespace {

std::vector<uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

struct PackageFile {
  String Name;
  std::vector<uint8_t> Content;
};

std::vector<uint8_t> BuildPackage(const std::vector<PackageFile>& files, int level = 4,
                                  uint32_t seed = PackageKeySeed) {
  TSetupPackageBuilder builder(seed);
  for (const PackageFile& file : files) {
    TMemoryStream content(file.Content);
    builder.AddFile(content, file.Name);
  }
  TMemoryStream package;
  builder.Commit(package, level);
  return package.TakeBytes();
}

// The payload of a package, deciphered and decoded without the reader.
std::vector<uint8_t> DecodePayload(const std::vector<uint8_t>& package) {
  uint32_t payload_size = 0;
  std::memcpy(&payload_size, package.data() + 8, 4);
  std::vector<uint8_t> body(package.begin() + 12, package.end());
  TRC4State cipher;
  TRC4::Initialize(cipher, MakePackageKey());
  TRC4::Crypt(cipher, body.data(), body.data(), static_cast<int64_t>(body.size()));
  TMemoryStream source(body);
  TMemoryStream payload;
  LzmaDecode(source, payload, payload_size, {});
  return payload.TakeBytes();
}

uint32_t Crc32(const std::vector<uint8_t>& bytes) {
  return TVYNHashCRC32::Checksum(bytes.data(), bytes.size());
}

std::string Read(TSetupPackageReader& reader, StringView name) {
  auto stream = reader.Extract(name);
  if (!stream) return "<missing>";
  return std::string(stream->Bytes().begin(), stream->Bytes().end());
}

const std::vector<PackageFile> SampleFiles = {
    {u"Install.xml", Bytes("<Install/>")},
    {u"Langs\\English.lng", Bytes("[File]\r\nName=English\r\n")},
    {u"Empty.txt", {}},
    {u"Pictures\\Логотип.png", std::vector<uint8_t>(70000, 0x7F)},
};

TEST(SetupPackage, RoundTripReturnsEveryFileByteForByte) {
  const std::vector<uint8_t> package = BuildPackage(SampleFiles);
  TMemoryStream stream(package);
  TSetupPackageReader reader(stream);
  ASSERT_EQ(reader.FileTable().Count(), 4);
  for (const PackageFile& file : SampleFiles) {
    EXPECT_EQ(Read(reader, file.Name), std::string(file.Content.begin(), file.Content.end()));
  }
}

// A view gives the bytes a copy would, straight out of the decoded payload: the extraction
// writes every file from it.
TEST(SetupPackage, AViewHoldsTheSameBytesAsACopyWithoutCopying) {
  const std::vector<uint8_t> package = BuildPackage(SampleFiles);
  TMemoryStream stream(package);
  TSetupPackageReader reader(stream);
  for (const PackageFile& file : SampleFiles) {
    SCOPED_TRACE(StringToUtf8(file.Name));
    const std::unique_ptr<TMemoryViewStream> view = reader.View(file.Name);
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->Size(), static_cast<int64_t>(file.Content.size()));
    EXPECT_TRUE(std::equal(file.Content.begin(), file.Content.end(), view->Memory()));
    // Two views of one file share its bytes: nothing was copied.
    EXPECT_EQ(reader.View(file.Name)->Memory(), view->Memory());
  }
  EXPECT_EQ(reader.View(u"missing"), nullptr);
}

TEST(SetupPackage, HeaderAndPayloadLayout) {
  const std::vector<uint8_t> package = BuildPackage({{u"a", Bytes("xyz")}, {u"bc", Bytes("")}});
  EXPECT_EQ(std::string(package.begin(), package.begin() + 4), "IPK5");
  const std::vector<uint8_t> payload = DecodePayload(package);
  uint32_t checksum = 0, payload_size = 0;
  std::memcpy(&checksum, package.data() + 4, 4);
  std::memcpy(&payload_size, package.data() + 8, 4);
  EXPECT_EQ(payload_size, payload.size());
  EXPECT_EQ(checksum, Crc32(payload));

  // "xyz", then Count 2; "a" at 0 size 3; "bc" at 3 size 0; then TableLength.
  std::vector<uint8_t> expected = Bytes("xyz");
  auto put = [&](uint64_t value, int size) {
    for (int i = 0; i < size; ++i) expected.push_back(static_cast<uint8_t>(value >> (8 * i)));
  };
  put(2, 4);
  put(1, 2), put('a', 2), put(0, 8), put(3, 8);
  put(2, 2), put('b', 2), put('c', 2), put(3, 8), put(0, 8);
  put(4 + (2 + 2 + 16) + (2 + 4 + 16), 4);
  EXPECT_EQ(payload, expected);
}

TEST(SetupPackage, EmptyPackageHasAnEightBytePayload) {
  const std::vector<uint8_t> payload = DecodePayload(BuildPackage({}));
  EXPECT_EQ(payload, (std::vector<uint8_t>{0, 0, 0, 0, 4, 0, 0, 0}));
}

TEST(SetupPackage, LookupIgnoresCaseAndTheFirstOfTwoMatchesWins) {
  TMemoryStream stream(BuildPackage({{u"README.txt", Bytes("first")},
                                     {u"readme.TXT", Bytes("second")},
                                     {u"Skins\\Логотип.png", Bytes("picture")}}));
  TSetupPackageReader reader(stream);
  EXPECT_TRUE(reader.Contains(u"Readme.Txt"));
  EXPECT_EQ(Read(reader, u"readme.txt"), "first");
  EXPECT_EQ(Read(reader, u"readme.TXT"), "first");
  EXPECT_EQ(Read(reader, u"SKINS\\ЛОГОТИП.PNG"), "picture");
  EXPECT_FALSE(reader.Contains(u"README.tx"));
  EXPECT_EQ(reader.Extract(u"missing"), nullptr);
}

TEST(SetupPackage, EmptyFileHasTheNextFilesOffset) {
  TMemoryStream stream(BuildPackage({{u"a", Bytes("12")}, {u"empty", {}}, {u"b", Bytes("3")}}));
  TSetupPackageReader reader(stream);
  EXPECT_EQ(reader.FileTable().Items(1).Offset, reader.FileTable().Items(2).Offset);
  auto empty = reader.Extract(u"empty");
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty->Size(), 0);
}

TEST(SetupPackage, BytesAfterTheBodyAreIgnored) {
  std::vector<uint8_t> package = BuildPackage(SampleFiles);
  package.insert(package.end(), 1000, 0xAB);
  TMemoryStream stream(package);
  TSetupPackageReader reader(stream);
  EXPECT_EQ(Read(reader, u"Install.xml"), "<Install/>");
}

TEST(SetupPackage, ReadsFromAFileAndWritesOneWithSaveToFile) {
  TemporaryFolder folder;
  TSetupPackageBuilder builder;
  TMemoryStream content(Bytes("data"));
  builder.AddFile(content, u"file.bin");
  builder.SaveToFile(folder.PathOf(u"Uninstall.dat"), 4);
  TSetupPackageReader reader(folder.PathOf(u"Uninstall.dat"));
  EXPECT_EQ(Read(reader, u"FILE.BIN"), "data");
}

// Every way of damaging a package, and what the reader says about it.
struct DamageCase {
  const char* Title;
  void (*Damage)(std::vector<uint8_t>& package);
  const char16_t* Message;
};

class DamagedPackage : public testing::TestWithParam<DamageCase> {};

TEST_P(DamagedPackage, IsRefused) {
  std::vector<uint8_t> package = BuildPackage(SampleFiles);
  GetParam().Damage(package);
  TMemoryStream stream(package);
  try {
    TSetupPackageReader reader(stream);
    FAIL() << "the damaged package was read";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), GetParam().Message);
  }
}

void FlipMiddleBodyByte(std::vector<uint8_t>& p) {
  p[12 + (p.size() - 12) / 2] ^= 0x10;
}
void FlipBodyByteAfterProperties(std::vector<uint8_t>& p) {
  p[12 + 5 + 3] ^= 0x40;
}
void LowerCaseMagic(std::vector<uint8_t>& p) {
  p[3] = 'k';
}
void ChangeChecksum(std::vector<uint8_t>& p) {
  p[4] ^= 0x01;
}
void ShrinkPayloadSize(std::vector<uint8_t>& p) {
  p[8] ^= 0x01;
}
void ForgeHugePayloadSize(std::vector<uint8_t>& p) {
  p[8] = p[9] = p[10] = p[11] = 0xFF;
}
void BreakProperties(std::vector<uint8_t>& p) {
  // The first keystream byte enciphers the properties byte: set its plain value to 225.
  TRC4State cipher;
  TRC4::Initialize(cipher, MakePackageKey());
  uint8_t keystream = 0;
  TRC4::Crypt(cipher, &keystream, &keystream, 1);
  p[12] = static_cast<uint8_t>(225 ^ keystream);
}
void TruncateHeader(std::vector<uint8_t>& p) {
  p.resize(10);
}
void TruncateBody(std::vector<uint8_t>& p) {
  p.resize(p.size() / 2);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedPackage,
    testing::Values(
        DamageCase{"WrongMagicCase", LowerCaseMagic, u"Package was corrupted"},
        DamageCase{"ChangedChecksum", ChangeChecksum, u"Package was corrupted"},
        DamageCase{"ChangedPayloadSize", ShrinkPayloadSize, u"Package was corrupted"},
        DamageCase{"ForgedHugePayloadSize", ForgeHugePayloadSize, u"Package was corrupted"},
        DamageCase{"ChangedBody", FlipBodyByteAfterProperties, u"Package was corrupted"},
        DamageCase{"ChangedMiddleOfBody", FlipMiddleBodyByte, u"Package was corrupted"},
        DamageCase{"TruncatedBody", TruncateBody, u"Package was corrupted"},
        DamageCase{"TruncatedHeader", TruncateHeader, u"Stream read error"},
        DamageCase{"UnsupportedProperties", BreakProperties, u"LZMA Error (4)"}),
    CaseTitle());

TEST(SetupPackage, AnotherSeedCannotReadThePackage) {
  TMemoryStream stream(BuildPackage(SampleFiles, 4, PackageKeySeed + 1));
  try {
    TSetupPackageReader reader(stream);
    FAIL() << "read with the wrong key";
  } catch (const Exception& error) {
    const String message = error.Message();
    EXPECT_TRUE(message == u"Package was corrupted" || message.starts_with(u"LZMA Error ("))
        << StringToUtf8(message);
  }
}

// A package whose CRC is right but whose table lies: built by hand from a payload.
std::vector<uint8_t> PackageOfPayload(const std::vector<uint8_t>& payload) {
  TMemoryStream source(payload);
  TMemoryStream body;
  TRC4State cipher;
  TRC4::Initialize(cipher, MakePackageKey());
  LzmaEncode(source, body, 1, [&cipher](uint8_t* buffer, size_t count) {
    TRC4::Crypt(cipher, buffer, buffer, static_cast<int64_t>(count));
  });
  std::vector<uint8_t> package = Bytes("IPK5");
  for (uint32_t value : {Crc32(payload), static_cast<uint32_t>(payload.size())}) {
    for (int i = 0; i < 4; ++i) package.push_back(static_cast<uint8_t>(value >> (8 * i)));
  }
  package.insert(package.end(), body.Bytes().begin(), body.Bytes().end());
  return package;
}

struct LyingTableCase {
  const char* Title;
  int32_t Count;
  uint16_t NameLength;
  int64_t Offset;
  int64_t Size;
  int32_t TableLengthDelta;
};

class LyingTable : public testing::TestWithParam<LyingTableCase> {};

TEST_P(LyingTable, IsCorruptedNotAnOutOfRangeRead) {
  const LyingTableCase& lie = GetParam();
  std::vector<uint8_t> payload = Bytes("data");
  auto put = [&](uint64_t value, int size) {
    for (int i = 0; i < size; ++i) payload.push_back(static_cast<uint8_t>(value >> (8 * i)));
  };
  put(static_cast<uint32_t>(lie.Count), 4);
  put(lie.NameLength, 2);
  put('x', 2);
  put(static_cast<uint64_t>(lie.Offset), 8);
  put(static_cast<uint64_t>(lie.Size), 8);
  put(static_cast<uint32_t>(4 + 2 + 2 + 16 + lie.TableLengthDelta), 4);
  TMemoryStream stream(PackageOfPayload(payload));
  try {
    TSetupPackageReader reader(stream);
    FAIL() << "the lying table was accepted";
  } catch (const ESetupPackageReadError&) {
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LyingTable,
    testing::Values(LyingTableCase{"CountTooLarge", 1000000, 1, 0, 4, 0},
                    LyingTableCase{"NegativeCount", -1, 1, 0, 4, 0},
                    LyingTableCase{"NameBeyondTable", 1, 500, 0, 4, 0},
                    LyingTableCase{"OffsetBeyondPayload", 1, 1, 1000, 1, 0},
                    LyingTableCase{"NegativeOffset", 1, 1, -8, 4, 0},
                    LyingTableCase{"SizeBeyondPayload", 1, 1, 0, 0x7FFFFFFFFFFF, 0},
                    // Each within the 32-byte payload, together 8 bytes past its end.
                    LyingTableCase{"OffsetAndSizeTogetherBeyondPayload", 1, 1, 20, 20, 0},
                    LyingTableCase{"TableLengthBeyondPayload", 1, 1, 0, 4, 1000},
                    LyingTableCase{"NegativeTableLength", 1, 1, 0, 4, -100}),
    CaseTitle());

TEST(SetupPackageBuilder, RefusesNamesThatCannotBeStored) {
  TSetupPackageBuilder builder;
  TMemoryStream content(Bytes("x"));
  EXPECT_THROW(builder.AddFile(content, String(65536, u'n')), ESetupPackageBuildError);
  builder.AddFile(content, String(65535, u'n'));  // the longest name that fits
}

// A file that claims gigabytes and would fail the test if anything read it.
class HugeUnreadStream : public TStream {
 public:
  explicit HugeUnreadStream(int64_t size) : size_(size) {}
  int64_t Read(void*, int64_t) override {
    ADD_FAILURE() << "the builder read a file it had to refuse";
    return 0;
  }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    return origin == TSeekOrigin::soEnd ? size_ + offset : offset;
  }
  void SetSize(int64_t) override {}

 private:
  int64_t size_;
};

TEST(SetupPackageBuilder, RefusesAPayloadOf4GiBBeforeReadingIt) {
  TSetupPackageBuilder builder;
  TMemoryStream small(Bytes("x"));
  builder.AddFile(small, u"small.txt");
  HugeUnreadStream huge(int64_t{4} << 30);
  EXPECT_THROW(builder.AddFile(huge, u"huge.bin"), ESetupPackageBuildError);
}

TEST(SetupPackageBuilder, CommitsOnce) {
  TSetupPackageBuilder builder;
  TMemoryStream first, second;
  builder.Commit(first, 0);
  EXPECT_THROW(builder.Commit(second, 0), ESetupPackageBuildError);
}

}  // namespace
