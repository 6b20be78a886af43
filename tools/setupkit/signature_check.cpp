// Whether a program is signed, and whether its signature still covers it.
#include "tools/setupkit/signature_check.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/crypto_hash.h"
#include "tools/setupkit/pe_resources.h"

namespace {

constexpr uint16_t OptionalMagicPe32 = 0x10B;
constexpr uint16_t OptionalMagicPe32Plus = 0x20B;
// Where the checksum and the data directories sit in the optional header.
constexpr uint64_t ChecksumOffset = 64;
constexpr uint64_t DirectoriesOffsetPe32 = 96;
constexpr uint64_t DirectoriesOffsetPe32Plus = 112;
constexpr uint32_t CertificateDirectory = 4;  // IMAGE_DIRECTORY_ENTRY_SECURITY
// WIN_CERTIFICATE: dwLength, wRevision, wCertificateType, then the PKCS#7 signed data.
constexpr uint64_t CertificateHeaderSize = 8;
constexpr uint16_t CertificateRevision2 = 0x0200;
constexpr uint16_t CertificateTypePkcsSignedData = 0x0002;

// DER tags and object identifiers (their content bytes) on the way to the signed digest.
constexpr uint8_t TagInteger = 0x02;
constexpr uint8_t TagOctetString = 0x04;
constexpr uint8_t TagObjectId = 0x06;
constexpr uint8_t TagSequence = 0x30;
constexpr uint8_t TagSet = 0x31;
constexpr uint8_t TagExplicit0 = 0xA0;
constexpr uint8_t OidSignedData[] = {0x2A, 0x86, 0x48, 0x86, 0xF7, 0x0D, 0x01, 0x07, 0x02};
constexpr uint8_t OidIndirectData[] = {0x2B, 0x06, 0x01, 0x04, 0x01, 0x82, 0x37, 0x02, 0x01, 0x04};
constexpr uint8_t OidSha1[] = {0x2B, 0x0E, 0x03, 0x02, 0x1A};
constexpr uint8_t OidSha256[] = {0x60, 0x86, 0x48, 0x01, 0x65, 0x03, 0x04, 0x02, 0x01};

[[noreturn]] void Fail(StringView message) {
  throw EPeImageError(String(message));
}

uint32_t Get(std::span<const uint8_t> bytes, uint64_t offset, uint64_t size, StringView what) {
  if (offset > bytes.size() || size > bytes.size() - offset) Fail(what);
  uint32_t value = 0;
  for (uint64_t i = size; i-- > 0;) value = value << 8 | bytes[offset + i];
  return value;
}

// A reader of DER values, each checked against what is left of its enclosing value. Any fault
// makes the signature unreadable; nothing is read outside the span.
class TDerReader {
 public:
  explicit TDerReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  bool AtEnd() const { return bytes_.empty(); }

  // The content of the next value, which must carry Tag; nullopt when it does not or when its
  // length is malformed (indefinite lengths included: signed data is DER).
  std::optional<std::span<const uint8_t>> Take(uint8_t tag) {
    if (bytes_.size() < 2 || bytes_[0] != tag) return std::nullopt;
    uint64_t length = bytes_[1];
    size_t header = 2;
    if (length & 0x80) {
      const size_t count = length & 0x7F;
      if (count == 0 || count > 4 || bytes_.size() < 2 + count) return std::nullopt;
      length = 0;
      for (size_t i = 0; i < count; ++i) length = length << 8 | bytes_[2 + i];
      header += count;
    }
    if (length > bytes_.size() - header) return std::nullopt;
    const auto content = bytes_.subspan(header, length);
    bytes_ = bytes_.subspan(header + length);
    return content;
  }

  // Skips the next value whatever its tag.
  bool Skip() { return !bytes_.empty() && Take(bytes_[0]).has_value(); }

 private:
  std::span<const uint8_t> bytes_;
};

bool Equal(std::span<const uint8_t> a, std::span<const uint8_t> b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

// What the signer hashed: the digest algorithm and the digest, from
// ContentInfo { signedData, [0] SignedData { version, digestAlgorithms,
//   { indirectData, [0] { data, DigestInfo { { algorithm, ... }, digest } } }, ... } }.
struct TSignedDigest {
  std::span<const uint8_t> Algorithm;
  std::span<const uint8_t> Digest;
};

std::optional<TSignedDigest> ReadSignedDigest(std::span<const uint8_t> pkcs7) {
  TDerReader outer(pkcs7);
  auto content_info = outer.Take(TagSequence);
  if (!content_info) return std::nullopt;
  TDerReader info(*content_info);
  auto type = info.Take(TagObjectId);
  if (!type || !Equal(*type, OidSignedData)) return std::nullopt;
  auto explicit_signed = info.Take(TagExplicit0);
  if (!explicit_signed) return std::nullopt;
  TDerReader explicit_reader(*explicit_signed);
  auto signed_data = explicit_reader.Take(TagSequence);
  if (!signed_data) return std::nullopt;
  TDerReader data(*signed_data);
  if (!data.Take(TagInteger) || !data.Take(TagSet)) return std::nullopt;
  auto encapsulated = data.Take(TagSequence);
  if (!encapsulated) return std::nullopt;
  TDerReader encapsulated_reader(*encapsulated);
  auto content_type = encapsulated_reader.Take(TagObjectId);
  if (!content_type || !Equal(*content_type, OidIndirectData)) return std::nullopt;
  auto explicit_content = encapsulated_reader.Take(TagExplicit0);
  if (!explicit_content) return std::nullopt;
  TDerReader explicit_content_reader(*explicit_content);
  auto indirect = explicit_content_reader.Take(TagSequence);
  if (!indirect) return std::nullopt;
  TDerReader indirect_reader(*indirect);
  if (!indirect_reader.Skip()) return std::nullopt;  // what was hashed: a PE image
  auto digest_info = indirect_reader.Take(TagSequence);
  if (!digest_info) return std::nullopt;
  TDerReader digest_reader(*digest_info);
  auto algorithm_id = digest_reader.Take(TagSequence);
  if (!algorithm_id) return std::nullopt;
  TDerReader algorithm_reader(*algorithm_id);
  auto algorithm = algorithm_reader.Take(TagObjectId);
  auto digest = digest_reader.Take(TagOctetString);
  if (!algorithm || !digest) return std::nullopt;
  return TSignedDigest{*algorithm, *digest};
}

TProgramSignature NoLongerCovers(StringView problem) {
  return {TSignatureStatus::NoLongerCovers, String(problem)};
}

}  // namespace

TProgramSignature CheckProgramSignature(std::span<const uint8_t> image) {
  constexpr char16_t NotAProgram[] = u"is not a Windows program";
  if (Get(image, 0, 2, NotAProgram) != 0x5A4D) Fail(NotAProgram);
  const uint64_t pe = Get(image, 0x3C, 4, NotAProgram);
  if (Get(image, pe, 4, NotAProgram) != 0x00004550) Fail(NotAProgram);
  const uint64_t optional = pe + 24;
  const uint32_t magic = Get(image, optional, 2, NotAProgram);
  if (magic != OptionalMagicPe32 && magic != OptionalMagicPe32Plus) Fail(NotAProgram);
  const uint64_t directories =
      optional +
      (magic == OptionalMagicPe32Plus ? DirectoriesOffsetPe32Plus : DirectoriesOffsetPe32);
  const uint32_t directory_count = Get(image, directories - 4, 4, NotAProgram);
  if (directory_count <= CertificateDirectory) return {};
  const uint64_t entry = directories + 8 * CertificateDirectory;
  // Unlike every other directory, this one gives a file offset, not an address in memory.
  const uint64_t table = Get(image, entry, 4, NotAProgram);
  const uint64_t table_size = Get(image, entry + 4, 4, NotAProgram);
  // An entry of size 0 is no signature, whatever its offset: Windows reads it so, and the
  // writer takes such a program as unsigned.
  if (table_size == 0) return {};

  if (table < entry + 8 || table > image.size() || table_size > image.size() - table) {
    return NoLongerCovers(u"the certificate table lies outside the file");
  }
  if (table + table_size != image.size()) {
    return NoLongerCovers(u"bytes were added after the signature");
  }
  if (table_size < CertificateHeaderSize) {
    return NoLongerCovers(u"the certificate table holds no signature");
  }
  const uint32_t length = Get(image, table, 4, NotAProgram);
  if (length < CertificateHeaderSize || length > table_size ||
      Get(image, table + 4, 2, NotAProgram) != CertificateRevision2 ||
      Get(image, table + 6, 2, NotAProgram) != CertificateTypePkcsSignedData) {
    return NoLongerCovers(u"the certificate table holds no signature Windows reads");
  }
  const auto signed_digest = ReadSignedDigest(
      image.subspan(table + CertificateHeaderSize, length - CertificateHeaderSize));
  if (!signed_digest) return NoLongerCovers(u"the signature cannot be read");

  unsigned provider = platform::CryptoProviderRsaFull;
  unsigned algorithm = platform::CryptoAlgorithmSha1;
  if (Equal(signed_digest->Algorithm, OidSha256)) {
    provider = platform::CryptoProviderRsaAes;
    algorithm = platform::CryptoAlgorithmSha256;
  } else if (!Equal(signed_digest->Algorithm, OidSha1)) {
    return {TSignatureStatus::NotChecked,
            u"the signature's digest algorithm is neither SHA-256 nor SHA-1"};
  }
  // The file as Windows hashes it, the checksum field and the certificate table's entry left
  // out: signing changes both after the digest is taken.
  const uint64_t checksum = optional + ChecksumOffset;
  platform::CryptoHash hash(provider, algorithm);
  hash.Update(image.data(), checksum);
  hash.Update(image.data() + checksum + 4, entry - (checksum + 4));
  hash.Update(image.data() + entry + 8, table - (entry + 8));
  if (!Equal(hash.Finish(), signed_digest->Digest)) {
    return NoLongerCovers(u"the file changed after it was signed");
  }
  return {TSignatureStatus::Covers, {}};
}
