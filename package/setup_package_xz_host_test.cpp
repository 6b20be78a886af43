// Packages agree with an independent LZMA implementation: xz's command-line tool encodes and
// decodes the raw LZMA1 stream, while the test lays out the payload, the header and the cipher
// itself from the container's description.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "package/setup_package_builder.h"
#include "package/setup_package_reader.h"
#include "support/crypto.h"
#include "support/hashes.h"
#include "tests/support/temporary_folder.h"

namespace {

void Put(std::vector<uint8_t>& bytes, uint64_t value, int size) {
  for (int i = 0; i < size; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint32_t Crc32(const std::vector<uint8_t>& bytes) {
  return TVYNHashCRC32::Checksum(bytes.data(), bytes.size());
}

void Encipher(std::vector<uint8_t>& bytes) {
  TRC4State cipher;
  TRC4::Initialize(cipher, MakePackageKey());
  TRC4::Crypt(cipher, bytes.data(), bytes.data(), static_cast<int64_t>(bytes.size()));
}

std::vector<uint8_t> AsBytes(const std::string& text) {
  return {text.begin(), text.end()};
}

void RunXz(const std::string& arguments) {
  const std::string command = "xz " + arguments + " 2>/dev/null";
  // xz ends with an error after decoding a stream that has no end marker; the output it wrote
  // is what the test compares.
  std::system(command.c_str());
}

TEST(SetupPackageInterop, ReaderReadsAPackageEncodedByXz) {
  TemporaryFolder folder;
  const std::string first = "The first file.\r\n";
  std::string second(100000, '\0');
  for (size_t i = 0; i < second.size(); ++i) second[i] = static_cast<char>((i * 31) % 251);

  std::vector<uint8_t> payload = AsBytes(first + second);
  const size_t table_start = payload.size();
  Put(payload, 2, 4);
  Put(payload, 5, 2);
  for (char c : std::string("a.txt")) Put(payload, static_cast<uint8_t>(c), 2);
  Put(payload, 0, 8), Put(payload, first.size(), 8);
  Put(payload, 5, 2);
  for (char c : std::string("b.bin")) Put(payload, static_cast<uint8_t>(c), 2);
  Put(payload, first.size(), 8), Put(payload, second.size(), 8);
  Put(payload, payload.size() - table_start, 4);
  folder.WriteFile(u"payload", std::string(payload.begin(), payload.end()));

  RunXz("--format=raw --lzma1=lc=3,lp=0,pb=2,dict=1MiB -c '" +
        folder.NativePath(u"payload").string() + "' > '" + folder.NativePath(u"raw").string() +
        "'");
  const std::vector<uint8_t> raw = AsBytes(folder.ReadFile(u"raw"));
  ASSERT_FALSE(raw.empty()) << "xz is not installed";

  // Properties: (pb * 5 + lp) * 9 + lc = 93, and the dictionary size of 1 MiB.
  std::vector<uint8_t> body = {93};
  Put(body, 1 << 20, 4);
  body.insert(body.end(), raw.begin(), raw.end());
  Encipher(body);
  std::vector<uint8_t> package = AsBytes("IPK5");
  Put(package, Crc32(payload), 4);
  Put(package, payload.size(), 4);
  package.insert(package.end(), body.begin(), body.end());

  TMemoryStream stream(package);
  TSetupPackageReader reader(stream);
  ASSERT_EQ(reader.FileTable().Count(), 2);
  auto a = reader.Extract(u"A.TXT");
  auto b = reader.Extract(u"b.bin");
  ASSERT_TRUE(a && b);
  EXPECT_EQ(std::string(a->Bytes().begin(), a->Bytes().end()), first);
  EXPECT_EQ(std::string(b->Bytes().begin(), b->Bytes().end()), second);
}

TEST(SetupPackageInterop, XzDecodesAPackageWrittenByTheBuilder) {
  TemporaryFolder folder;
  std::vector<uint8_t> content(50000);
  for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<uint8_t>(i % 97);
  TSetupPackageBuilder builder;
  TMemoryStream source(content);
  builder.AddFile(source, u"data.bin");
  TMemoryStream package;
  builder.Commit(package, 6);

  const std::vector<uint8_t>& bytes = package.Bytes();
  ASSERT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "IPK5");
  uint32_t checksum = 0, payload_size = 0;
  std::memcpy(&checksum, bytes.data() + 4, 4);
  std::memcpy(&payload_size, bytes.data() + 8, 4);
  std::vector<uint8_t> body(bytes.begin() + 12, bytes.end());
  Encipher(body);
  const int properties = body[0];
  uint32_t dictionary = 0;
  std::memcpy(&dictionary, body.data() + 1, 4);
  folder.WriteFile(u"raw", std::string(body.begin() + 5, body.end()));

  RunXz("--format=raw --lzma1=lc=" + std::to_string(properties % 9) +
        ",lp=" + std::to_string(properties / 9 % 5) + ",pb=" + std::to_string(properties / 45) +
        ",dict=" + std::to_string(dictionary) + " -d -c '" + folder.NativePath(u"raw").string() +
        "' > '" + folder.NativePath(u"payload").string() + "'");
  const std::vector<uint8_t> payload = AsBytes(folder.ReadFile(u"payload"));
  ASSERT_GE(payload.size(), payload_size);
  const std::vector<uint8_t> decoded(payload.begin(), payload.begin() + payload_size);
  EXPECT_EQ(Crc32(decoded), checksum);
  EXPECT_TRUE(std::equal(content.begin(), content.end(), decoded.begin()));
}

}  // namespace
