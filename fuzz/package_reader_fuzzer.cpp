// Fuzzes the setup package reader.
//
// The first byte picks what the rest is: even, a whole container as it would arrive from a
// file (mostly stopped by the magic, the cipher and the checksum); odd, a payload that the
// target wraps into a valid container itself, so that the file table behind the checksum gets
// exercised too.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "package/lzma.h"
#include "package/setup_package_reader.h"
#include "support/crypto.h"
#include "support/hashes.h"

namespace {

std::vector<uint8_t> WrapPayload(const uint8_t* data, size_t size) {
  TMemoryStream payload(std::vector<uint8_t>(data, data + size));
  TMemoryStream container;
  const uint32_t checksum = TVYNHashCRC32::Checksum(data, size);
  const uint32_t header[3] = {0x354B5049 /* "IPK5" */, checksum, static_cast<uint32_t>(size)};
  container.WriteBuffer(header, sizeof header);
  TRC4State cipher;
  TRC4::Initialize(cipher, MakePackageKey());
  LzmaEncode(payload, container, 0, [&cipher](uint8_t* buffer, size_t count) {
    TRC4::Crypt(cipher, buffer, buffer, static_cast<int64_t>(count));
  });
  return container.TakeBytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool wrap = data[0] & 1;
  std::vector<uint8_t> input =
      wrap ? WrapPayload(data + 1, size - 1) : std::vector<uint8_t>(data + 1, data + size);
  TMemoryStream stream(std::move(input));
  try {
    TSetupPackageReader reader(stream);
    // A package that reads back must hand out exactly the bytes its table promises.
    for (int i = 0; i < reader.FileTable().Count(); ++i) {
      const TSetupPackageFileTableItem item = reader.FileTable().Items(i);
      auto file = reader.Extract(item.Name);
      if (!file) std::abort();
      const TSetupPackageFileTableItem* found = reader.FileTable().Find(item.Name);
      if (file->Size() != found->Size) std::abort();
    }
  } catch (const Exception&) {
    // Refusing a damaged package is the expected outcome for most inputs.
  }
  return 0;
}
