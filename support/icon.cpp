// TVYNIcon.
#include "support/icon.h"

namespace {

constexpr size_t HeaderSize = 6;
constexpr size_t EntrySize = 16;
constexpr uint16_t IconType = 1;

uint16_t Word(const uint8_t* bytes) {
  return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

uint32_t DoubleWord(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

}  // namespace

bool TVYNIcon::IsIconImage(const uint8_t* bytes, size_t size) {
  if (size < HeaderSize) return false;
  const uint16_t reserved = Word(bytes);
  const uint16_t type = Word(bytes + 2);
  const uint16_t count = Word(bytes + 4);
  if (reserved != 0 || type != IconType || count == 0) return false;
  const size_t directory_end = HeaderSize + EntrySize * count;
  if (directory_end > size) return false;
  // Whoever draws the icon reads each image where its entry says; an entry pointing outside the
  // bytes would make it read beyond them.
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* entry = bytes + HeaderSize + EntrySize * i;
    const uint64_t image_size = DoubleWord(entry + 8);
    const uint64_t image_offset = DoubleWord(entry + 12);
    if (image_size == 0 || image_offset < directory_end || image_offset + image_size > size) {
      return false;
    }
  }
  return true;
}

bool TVYNIcon::LoadFromBytes(std::vector<uint8_t> bytes) {
  if (!IsIconImage(bytes.data(), bytes.size())) {
    Clear();
    return false;
  }
  bytes_ = std::move(bytes);
  return true;
}

bool TVYNIcon::LoadFromStream(TStream& stream) {
  const int64_t size = stream.Size();
  std::vector<uint8_t> bytes(static_cast<size_t>(size > 0 ? size : 0));
  stream.SetPosition(0);
  stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  return LoadFromBytes(std::move(bytes));
}
