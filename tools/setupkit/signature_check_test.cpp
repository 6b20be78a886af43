// Whether a program is signed and the signature still covers it, on a real signature: the tiny
// test program signed once with a throwaway certificate, whose key was thrown away at once. The
// certificate came from "openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem
// -days 3650 -subj '/CN=setupkit test fixture signer' -addext extendedKeyUsage=codeSigning", the
// signature from "osslsigncode sign -certs cert.pem -key key.pem -n 'tiny program' -h sha256
// -in tiny_program.exe -out tiny_program_signed.exe".
// Each case changes the signed file as a careless maker or a damaged download would and expects
// the check to notice, or (the checksum, which signing itself rewrites) not to.
#include "tools/setupkit/signature_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "signed_tiny_program_bytes.h"
#include "tiny_program_bytes.h"
#include "tools/setupkit/pe_resources.h"

namespace {

using TImage = std::vector<uint8_t>;

TImage SignedProgram() {
  return TImage(std::begin(SignedTinyProgramBytes), std::end(SignedTinyProgramBytes));
}

uint32_t Read32(const TImage& image, size_t offset) {
  return image[offset] | image[offset + 1] << 8 | image[offset + 2] << 16 |
         static_cast<uint32_t>(image[offset + 3]) << 24;
}

void Write32(TImage& image, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) image[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

// Places in a PE32+ image, read here from the format rather than through the code under test.
size_t OptionalHeader(const TImage& image) {
  return Read32(image, 0x3C) + 24;
}
size_t CertificateEntry(const TImage& image) {
  return OptionalHeader(image) + 112 + 8 * 4;
}
size_t CertificateTable(const TImage& image) {
  return Read32(image, CertificateEntry(image));
}

// The SHA-256 digest the signer took, inside the signed data: it follows the algorithm's
// identifier, a NULL parameter and the OCTET STRING header of 32 bytes.
size_t SignedDigest(const TImage& image) {
  const uint8_t pattern[] = {0x06, 0x09, 0x60, 0x86, 0x48, 0x01, 0x65, 0x03,
                             0x04, 0x02, 0x01, 0x05, 0x00, 0x04, 0x20};
  const auto found = std::search(image.begin() + CertificateTable(image), image.end(),
                                 std::begin(pattern), std::end(pattern));
  EXPECT_NE(found, image.end()) << "no SHA-256 digest in the fixture's signature";
  return static_cast<size_t>(found - image.begin()) + sizeof(pattern);
}

struct SignatureCase {
  const char* Name;
  std::function<void(TImage&)> Change;
  TSignatureStatus Status;
  const char16_t* Problem;
};

std::string CaseName(const testing::TestParamInfo<SignatureCase>& info) {
  return info.param.Name;
}

class SignedProgramChanged : public testing::TestWithParam<SignatureCase> {};

TEST_P(SignedProgramChanged, IsReportedAsItStands) {
  TImage image = SignedProgram();
  GetParam().Change(image);
  const TProgramSignature signature = CheckProgramSignature(image);
  EXPECT_EQ(signature.Status, GetParam().Status);
  EXPECT_EQ(signature.Problem, GetParam().Problem);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SignedProgramChanged,
    testing::Values(
        SignatureCase{"AsSigned", [](TImage&) {}, TSignatureStatus::Covers, u""},
        // Signing rewrites the checksum after taking the digest, so it is no part of it.
        SignatureCase{"ChecksumChanged",
                      [](TImage& image) { image[OptionalHeader(image) + 64] ^= 0xFF; },
                      TSignatureStatus::Covers, u""},
        SignatureCase{"CodeChanged", [](TImage& image) { image[0x400] ^= 1; },
                      TSignatureStatus::NoLongerCovers, u"the file changed after it was signed"},
        SignatureCase{"HeaderChanged",
                      [](TImage& image) { image[OptionalHeader(image) - 16] ^= 1; },
                      TSignatureStatus::NoLongerCovers, u"the file changed after it was signed"},
        SignatureCase{"ByteBeforeTheTableChanged",
                      [](TImage& image) { image[CertificateTable(image) - 1] ^= 1; },
                      TSignatureStatus::NoLongerCovers, u"the file changed after it was signed"},
        SignatureCase{"SignedDigestChanged",
                      [](TImage& image) { image[SignedDigest(image) + 31] ^= 1; },
                      TSignatureStatus::NoLongerCovers, u"the file changed after it was signed"},
        SignatureCase{"BytesAppended", [](TImage& image) { image.push_back(0); },
                      TSignatureStatus::NoLongerCovers, u"bytes were added after the signature"},
        SignatureCase{"Truncated", [](TImage& image) { image.resize(image.size() - 8); },
                      TSignatureStatus::NoLongerCovers,
                      u"the certificate table lies outside the file"},
        SignatureCase{"TableOffsetBeyondTheFile",
                      [](TImage& image) { Write32(image, CertificateEntry(image), 0xFFFFFFF0); },
                      TSignatureStatus::NoLongerCovers,
                      u"the certificate table lies outside the file"},
        SignatureCase{
            "TableSizeBeyondTheFile",
            [](TImage& image) { Write32(image, CertificateEntry(image) + 4, 0xFFFFFFF0); },
            TSignatureStatus::NoLongerCovers, u"the certificate table lies outside the file"},
        SignatureCase{"NotPkcsSignedData",
                      [](TImage& image) { image[CertificateTable(image) + 6] = 1; },
                      TSignatureStatus::NoLongerCovers,
                      u"the certificate table holds no signature Windows reads"},
        SignatureCase{"CertificateLengthBeyondTheTable",
                      [](TImage& image) {
                        Write32(image, CertificateTable(image),
                                static_cast<uint32_t>(image.size() - CertificateTable(image) + 1));
                      },
                      TSignatureStatus::NoLongerCovers,
                      u"the certificate table holds no signature Windows reads"},
        SignatureCase{"SignedDataNotASequence",
                      [](TImage& image) { image[CertificateTable(image) + 8] = 0x31; },
                      TSignatureStatus::NoLongerCovers, u"the signature cannot be read"},
        // A length far beyond the table: read as given, it would run off the file.
        SignatureCase{"SignedDataLengthHuge",
                      [](TImage& image) {
                        const size_t length = CertificateTable(image) + 9;
                        image[length] = 0x84;
                        std::fill_n(image.begin() + length + 1, 4, 0xFF);
                      },
                      TSignatureStatus::NoLongerCovers, u"the signature cannot be read"},
        SignatureCase{"DigestAlgorithmUnknown",
                      // SHA-256's last arc made SHA-512's: a digest this check does not take.
                      [](TImage& image) { image[SignedDigest(image) - 5] = 0x03; },
                      TSignatureStatus::NotChecked,
                      u"the signature's digest algorithm is neither SHA-256 nor SHA-1"}),
    CaseName);

TEST(ProgramSignature, UnsignedProgramIsUnsigned) {
  const TImage image(std::begin(TinyProgramBytes), std::end(TinyProgramBytes));
  const TProgramSignature signature = CheckProgramSignature(image);
  EXPECT_EQ(signature.Status, TSignatureStatus::Unsigned);
  EXPECT_EQ(signature.Problem, u"");
}

// An entry that gives an offset but no size holds no signature; Windows and the writer read it
// so, and lint must not call the program one whose signature is damaged.
TEST(ProgramSignature, ACertificateEntryOfSizeZeroIsNoSignature) {
  TImage image(std::begin(TinyProgramBytes), std::end(TinyProgramBytes));
  const uint32_t entry = (image[0x3C] | image[0x3D] << 8) + 24 + 112 + 8 * 4;
  image[entry] = 0x00;
  image[entry + 1] = 0x10;  // offset 0x1000, size left 0
  EXPECT_EQ(CheckProgramSignature(image).Status, TSignatureStatus::Unsigned);
}

TEST(ProgramSignature, NonProgramsAreRefused) {
  const TImage signed_program = SignedProgram();
  const std::vector<TImage> inputs = {
      {},
      {'M', 'Z'},
      TImage(signed_program.begin(), signed_program.begin() + 0x40),  // headers cut off
      TImage(200, 'x'),
  };
  for (const TImage& input : inputs) {
    EXPECT_THROW(CheckProgramSignature(input), EPeImageError) << input.size() << " bytes";
  }
}

}  // namespace
