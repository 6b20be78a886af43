// Reading a setup package.
#include "package/setup_package_reader.h"

#include <algorithm>
#include <cstring>

#include "package/lzma.h"
#include "platform/os_error.h"
#include "support/crypto.h"
#include "support/file_stream.h"
#include "support/hashes.h"

namespace {

uint32_t LoadUInt32(const uint8_t* bytes) {
  return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
         uint32_t(bytes[3]) << 24;
}

// The payload buffer is reserved up front only up to this multiple of the body, about what the
// product's files compress by; a payload that expands further grows as it decodes. So a forged
// PayloadSize (up to 4 GiB) claims no more memory than the body's real content does, even over
// a body of many megabytes.
constexpr int64_t ReservedExpansion = 4;
constexpr int64_t MinimumReservation = 1 << 20;

// Reads a little-endian integer of the payload's file table; running past the table's end
// means the table is damaged.
class TableReader {
 public:
  TableReader(const uint8_t* begin, const uint8_t* end) : position_(begin), end_(end) {}

  template <class Integer>
  Integer Take() {
    Integer value = 0;
    Need(sizeof(Integer));
    std::memcpy(&value, position_, sizeof(Integer));  // the payload is little-endian, as are we
    position_ += sizeof(Integer);
    return value;
  }

  String TakeName(size_t length) {
    Need(length * 2);
    String name(length, u'\0');
    for (size_t i = 0; i < length; ++i) {
      name[i] = static_cast<char16_t>(position_[2 * i] | position_[2 * i + 1] << 8);
    }
    position_ += length * 2;
    return name;
  }

  size_t Left() const { return static_cast<size_t>(end_ - position_); }

 private:
  void Need(size_t count) const {
    if (Left() < count) throw ESetupPackageReadError();
  }

  const uint8_t* position_;
  const uint8_t* end_;
};

}  // namespace

TSetupPackageReader::TSetupPackageReader(platform::NativeModule instance,
                                         StringView resource_name) {
  const void* data = nullptr;
  size_t size = 0;
  if (!platform::FindDataResource(instance, resource_name, data, size)) {
    RaiseLastOSError(u"Resource " + String(resource_name));
  }
  TMemoryViewStream resource(data, static_cast<int64_t>(size));
  Read(resource);
}

TSetupPackageReader::TSetupPackageReader(StringView file_name) {
  TFileStream file(file_name, fmOpenRead | fmShareDenyNone);
  Read(file);
}

TSetupPackageReader::TSetupPackageReader(TStream& stream) {
  Read(stream);
}

void TSetupPackageReader::Read(TStream& stream) {
  uint8_t header[SetupPackageHeaderSize];
  stream.ReadBuffer(header, sizeof header);
  if (std::memcmp(header, SetupPackageMagic, sizeof SetupPackageMagic) != 0) {
    throw ESetupPackageReadError();
  }
  const uint32_t checksum = LoadUInt32(header + 4);
  const uint32_t payload_size = LoadUInt32(header + 8);

  TRC4State cipher;
  TRC4::Initialize(cipher, MakePackageKey());
  const int64_t body_size = std::max<int64_t>(stream.Size() - stream.Position(), 0);
  payload_.SetCapacity(
      std::min<int64_t>(payload_size, std::max(body_size * ReservedExpansion, MinimumReservation)));
  LzmaDecode(stream, payload_, payload_size, [&cipher](uint8_t* buffer, size_t count) {
    TRC4::Crypt(cipher, buffer, buffer, static_cast<int64_t>(count));
  });

  if (payload_.Size() != static_cast<int64_t>(payload_size)) throw ESetupPackageReadError();
  if (TVYNHashCRC32::Checksum(payload_.Memory(), payload_.Bytes().size()) != checksum) {
    throw ESetupPackageReadError();
  }
  ReadFileTable();
  payload_.SetPosition(0);
}

void TSetupPackageReader::ReadFileTable() {
  // The table sits at the end of the payload, behind the files' bytes; every number in it is
  // checked against the payload before use, so a damaged table can never send a read outside.
  const uint8_t* begin = payload_.Memory();
  const int64_t size = payload_.Size();
  if (size < 4) throw ESetupPackageReadError();
  TableReader length_reader(begin + size - 4, begin + size);
  const auto table_length = length_reader.Take<int32_t>();
  if (table_length < 4 || table_length > size - 4) throw ESetupPackageReadError();
  const uint8_t* table_start = begin + (size - 4 - table_length);
  TableReader table(table_start, begin + size - 4);

  const auto count = table.Take<int32_t>();
  // Every entry takes at least 18 bytes, which bounds the count before anything is reserved.
  constexpr size_t SmallestEntry = 2 + 8 + 8;
  if (count < 0 || static_cast<size_t>(count) > table.Left() / SmallestEntry) {
    throw ESetupPackageReadError();
  }
  for (int32_t i = 0; i < count; ++i) {
    TSetupPackageFileTableItem item;
    const auto name_length = table.Take<uint16_t>();
    item.Name = table.TakeName(name_length);
    item.Offset = table.Take<int64_t>();
    item.Size = table.Take<int64_t>();
    if (item.Offset < 0 || item.Size < 0 || item.Offset > size || item.Size > size - item.Offset) {
      throw ESetupPackageReadError();
    }
    file_table_.Add(std::move(item));
  }
}

bool TSetupPackageReader::Contains(StringView name) const {
  return file_table_.Find(name) != nullptr;
}

std::unique_ptr<TMemoryStream> TSetupPackageReader::Extract(StringView name) {
  const TSetupPackageFileTableItem* item = file_table_.Find(name);
  if (item == nullptr) return nullptr;
  auto file = std::make_unique<TMemoryStream>();
  file->SetCapacity(item->Size);
  payload_.SetPosition(item->Offset);
  if (item->Size > 0) file->CopyFrom(payload_, item->Size);
  file->SetPosition(0);
  return file;
}

std::unique_ptr<TMemoryViewStream> TSetupPackageReader::View(StringView name) const {
  const TSetupPackageFileTableItem* item = file_table_.Find(name);
  if (item == nullptr) return nullptr;
  return std::make_unique<TMemoryViewStream>(payload_.Memory() + item->Offset, item->Size);
}
