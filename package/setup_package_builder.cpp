// Building a setup package.
#include "package/setup_package_builder.h"

#include <cstring>
#include <limits>

#include "package/lzma.h"
#include "support/file_stream.h"
#include "support/hashes.h"

namespace {

void StoreUInt32(uint8_t* bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

template <class Integer>
void WriteInteger(TStream& stream, Integer value) {
  stream.WriteBuffer(&value, sizeof value);  // little-endian, as the container is
}

// Hands the payload to the encoder and reports how far it has read.
class ProgressReadingStream : public TStream {
 public:
  ProgressReadingStream(TStream& source, const std::function<void(int64_t, int64_t)>& progress)
      : source_(source), progress_(progress), size_(source.Size()) {}

  int64_t Read(void* buffer, int64_t count) override {
    const int64_t read = source_.Read(buffer, count);
    if (progress_) progress_(source_.Position(), size_);
    return read;
  }
  int64_t Write(const void*, int64_t) override { throw EWriteError(); }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override { return source_.Seek(offset, origin); }
  void SetSize(int64_t) override { throw EWriteError(); }

 private:
  TStream& source_;
  const std::function<void(int64_t, int64_t)>& progress_;
  int64_t size_;
};

constexpr size_t MaxNameLength = 0xFFFF;
constexpr int64_t MaxPayloadSize = std::numeric_limits<uint32_t>::max();

[[noreturn]] void ThrowTooLarge() {
  throw ESetupPackageBuildError(u"The package is too large: its content must stay below 4 GiB");
}

}  // namespace

TSetupPackageBuilder::TSetupPackageBuilder(uint32_t seed) : key_(MakePackageKey(seed)) {}

void TSetupPackageBuilder::AddFile(TStream& source, StringView name) {
  // NameLength has 16 bits: a longer name would be cut and read back as another name.
  if (name.size() > MaxNameLength) {
    throw ESetupPackageBuildError(
        u"The file name is too long for a package (" + Utf8ToString(std::to_string(name.size())) +
        u" characters, at most 65535): " + String(name.substr(0, 80)) + u"...");
  }
  TSetupPackageFileTableItem item;
  item.Name = String(name);
  item.Offset = payload_.Size();
  item.Size = std::max<int64_t>(source.Size() - source.Position(), 0);
  // Refused before copying: gathering gigabytes only to refuse them at Commit would exhaust
  // memory first.
  if (item.Size > MaxPayloadSize - item.Offset) ThrowTooLarge();
  payload_.SetPosition(item.Offset);
  if (item.Size > 0) payload_.CopyFrom(source, item.Size);
  file_table_.Add(std::move(item));
}

void TSetupPackageBuilder::Commit(TStream& dest, int level) {
  if (committed_) throw ESetupPackageBuildError(u"The package was already written");
  committed_ = true;

  TMemoryStream table;
  WriteInteger<int32_t>(table, file_table_.Count());
  for (int i = 0; i < file_table_.Count(); ++i) {
    const TSetupPackageFileTableItem& item = file_table_.Items(i);
    WriteInteger<uint16_t>(table, static_cast<uint16_t>(item.Name.size()));
    for (const char16_t unit : item.Name) WriteInteger<uint16_t>(table, unit);
    WriteInteger<int64_t>(table, item.Offset);
    WriteInteger<int64_t>(table, item.Size);
  }
  payload_.SetPosition(payload_.Size());
  payload_.WriteBuffer(table.Memory(), table.Size());
  WriteInteger<int32_t>(payload_, static_cast<int32_t>(table.Size()));

  // PayloadSize has 32 bits: a larger payload would be described with a wrong size and could
  // never be read back.
  if (payload_.Size() > MaxPayloadSize) ThrowTooLarge();

  uint8_t header[SetupPackageHeaderSize] = {};
  std::memcpy(header, SetupPackageMagic, sizeof SetupPackageMagic);
  StoreUInt32(header + 4,
              TVYNHashCRC32::Checksum(payload_.Memory(), static_cast<size_t>(payload_.Size())));
  StoreUInt32(header + 8, static_cast<uint32_t>(payload_.Size()));
  dest.WriteBuffer(header, sizeof header);

  TRC4State cipher;
  TRC4::Initialize(cipher, key_);
  payload_.SetPosition(0);
  ProgressReadingStream source(payload_, OnProgress);
  LzmaEncode(source, dest, level, [&cipher](uint8_t* buffer, size_t count) {
    TRC4::Crypt(cipher, buffer, buffer, static_cast<int64_t>(count));
  });
}

void TSetupPackageBuilder::SaveToFile(StringView file_name, int level) {
  TFileStream file(file_name, fmCreate);
  Commit(file, level);
}
