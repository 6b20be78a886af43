// The "SXML" and "BXML" readers.
#include "support/xml_binary_reader.h"

#include <cstdint>
#include <vector>

#include "platform/text.h"
#include "support/stream.h"
#include "support/xml_node.h"

namespace {

// Little-endian reads from a byte range; anything beyond its end is a read error.
class TByteCursor {
 public:
  TByteCursor(std::string_view bytes, size_t position) : bytes_(bytes), position_(position) {
    if (position_ > bytes_.size()) throw EReadError();
  }

  size_t Position() const { return position_; }
  size_t Remaining() const { return bytes_.size() - position_; }

  std::string_view ReadBytes(uint64_t count) {
    if (count > Remaining()) throw EReadError();
    const std::string_view slice = bytes_.substr(position_, static_cast<size_t>(count));
    position_ += static_cast<size_t>(count);
    return slice;
  }

  uint64_t ReadLittleEndian(size_t size) {
    const std::string_view slice = ReadBytes(size);
    uint64_t value = 0;
    for (size_t i = size; i-- > 0;) value = value << 8 | static_cast<unsigned char>(slice[i]);
    return value;
  }

  uint8_t ReadUInt8() { return static_cast<uint8_t>(ReadLittleEndian(1)); }
  uint16_t ReadUInt16() { return static_cast<uint16_t>(ReadLittleEndian(2)); }
  int32_t ReadInt32() { return static_cast<int32_t>(static_cast<uint32_t>(ReadLittleEndian(4))); }
  int64_t ReadInt64() { return static_cast<int64_t>(ReadLittleEndian(8)); }

  // Seven bits per byte, least significant first. A 32-bit value needs at most five bytes;
  // a longer run is not a value of this form.
  uint32_t ReadVarint() {
    uint32_t value = 0;
    for (int shift = 0; shift < 35; shift += 7) {
      const uint8_t byte = ReadUInt8();
      value |= static_cast<uint32_t>(byte & 0x7F) << shift;
      if (!(byte & 0x80)) return value;
    }
    throw EReadError();
  }

  // A number of items that follow, each taking at least one byte: more than the bytes left is
  // a forged count, refused before any loop or allocation runs on it.
  uint64_t CheckedCount(int64_t count) {
    if (count <= 0) return 0;
    if (static_cast<uint64_t>(count) > Remaining()) throw EReadError();
    return static_cast<uint64_t>(count);
  }

  String ReadUtf16(int64_t units) {
    if (units <= 0) return String();
    const std::string_view bytes = ReadBytes(static_cast<uint64_t>(units) * 2);
    String text(static_cast<size_t>(units), u'\0');
    for (size_t i = 0; i < text.size(); ++i) {
      text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                      static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    }
    return text;
  }

 private:
  std::string_view bytes_;
  size_t position_;
};

// A node whose children are still to be read, and how many remain.
struct TPendingChildren {
  TVYNXMLNode* Node;
  uint64_t Left;
};

constexpr uint8_t HasAttributes = 1;
constexpr uint8_t HasChildren = 2;
constexpr uint8_t HasValue = 4;

class TSXMLTreeReader {
 public:
  TSXMLTreeReader(TByteCursor& cursor, const std::vector<std::string_view>& names)
      : cursor_(cursor), names_(names) {}

  void Read(TVYNXMLNode& document) {
    const uint64_t count = cursor_.CheckedCount(cursor_.ReadVarint());
    for (uint64_t i = 0; i < count; ++i) ReadBodies(document.Add(ReadName()));
  }

 private:
  std::string_view ReadName() {
    const uint32_t index = cursor_.ReadVarint();
    if (index >= names_.size()) throw EReadError();
    return names_[index];
  }

  String ReadValue() { return cursor_.ReadUtf16(cursor_.ReadVarint()); }

  // Reads Node's body, then the bodies of all its descendants in document order.
  void ReadBodies(TVYNXMLNode* node) {
    std::vector<TPendingChildren> pending;
    for (;;) {
      const uint8_t flags = cursor_.ReadUInt8();
      if (flags & HasValue) node->NodeValue = ReadValue();
      if (flags & HasAttributes) {
        const uint64_t count = cursor_.CheckedCount(cursor_.ReadVarint());
        for (uint64_t i = 0; i < count; ++i) {
          const std::string_view name = ReadName();
          node->Attributes.Add(name, ReadValue());
        }
      }
      if (flags & HasChildren) {
        const uint64_t count = cursor_.CheckedCount(cursor_.ReadVarint());
        if (count > 0) pending.push_back({node, count});
      }
      while (!pending.empty() && pending.back().Left == 0) pending.pop_back();
      if (pending.empty()) return;
      --pending.back().Left;
      node = pending.back().Node->Add(ReadName());
    }
  }

  TByteCursor& cursor_;
  const std::vector<std::string_view>& names_;
};

}  // namespace

size_t TVYNBinaryXMLReader::ReadSXML(std::string_view bytes, TVYNXMLNode& document) {
  TByteCursor header(bytes, 0);
  const int64_t tree_length = header.ReadInt64();
  if (tree_length < 0 || static_cast<uint64_t>(tree_length) > header.Remaining()) {
    throw EReadError();
  }
  const size_t tree_start = header.Position();
  const size_t tree_end = tree_start + static_cast<size_t>(tree_length);

  // The names come after the tree, so the table is read first.
  TByteCursor table(bytes, tree_end);
  const uint64_t name_count = table.CheckedCount(table.ReadVarint());
  std::vector<std::string_view> names;
  names.reserve(static_cast<size_t>(name_count));
  for (uint64_t i = 0; i < name_count; ++i) names.push_back(table.ReadBytes(table.ReadVarint()));

  // The tree may not run into the string table.
  TByteCursor tree(bytes.substr(0, tree_end), tree_start);
  TSXMLTreeReader(tree, names).Read(document);
  return table.Position();
}

size_t TVYNBinaryXMLReader::ReadBXML(std::string_view bytes, TVYNXMLNode& document) {
  TByteCursor cursor(bytes, 0);
  const auto read_name = [&] { return cursor.ReadBytes(cursor.ReadUInt16()); };
  std::vector<TPendingChildren> pending;
  const uint64_t top_count = cursor.CheckedCount(cursor.ReadInt32());
  if (top_count > 0) pending.push_back({&document, top_count});
  while (!pending.empty()) {
    if (pending.back().Left == 0) {
      pending.pop_back();
      continue;
    }
    --pending.back().Left;
    TVYNXMLNode* node = pending.back().Node->Add(read_name());
    const uint8_t flags = cursor.ReadUInt8();
    if (flags & HasValue) node->NodeValue = cursor.ReadUtf16(cursor.ReadInt32());
    if (flags & HasAttributes) {
      const uint64_t count = cursor.CheckedCount(cursor.ReadInt32());
      for (uint64_t i = 0; i < count; ++i) {
        const std::string_view name = read_name();
        node->Attributes.Add(name, cursor.ReadUtf16(cursor.ReadUInt16()));
      }
    }
    if (flags & HasChildren) {
      const uint64_t count = cursor.CheckedCount(cursor.ReadInt32());
      if (count > 0) pending.push_back({node, count});
    }
  }
  return cursor.Position();
}
