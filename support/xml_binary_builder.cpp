// The "SXML" writer.
#include "support/xml_binary_builder.h"

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/text.h"
#include "support/stream.h"
#include "support/xml_node.h"

namespace {

constexpr uint8_t HasAttributes = 1;
constexpr uint8_t HasChildren = 2;
constexpr uint8_t HasValue = 4;

class TByteWriter {
 public:
  std::vector<uint8_t>& Bytes() { return bytes_; }

  void WriteVarint(uint64_t value) {
    do {
      const auto group = static_cast<uint8_t>(value & 0x7F);
      value >>= 7;
      bytes_.push_back(value ? group | 0x80 : group);
    } while (value);
  }

  void WriteBytes(std::string_view bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  }

  void WriteUtf16(StringView text) {
    WriteVarint(text.size());
    for (const char16_t unit : text) {
      bytes_.push_back(static_cast<uint8_t>(unit & 0xFF));
      bytes_.push_back(static_cast<uint8_t>(unit >> 8));
    }
  }

 private:
  std::vector<uint8_t> bytes_;
};

class TSXMLWriter {
 public:
  void WriteTree(const TVYNXMLNode& document) {
    tree_.WriteVarint(static_cast<uint64_t>(document.Count()));
    for (int i = 0; i < document.Count(); ++i) WriteElements(*document.Items(i));
  }

  TByteWriter& Tree() { return tree_; }

  std::vector<uint8_t> StringTable() const {
    TByteWriter table;
    table.WriteVarint(names_.size());
    for (const std::string_view name : names_) {
      table.WriteVarint(name.size());
      table.WriteBytes(name);
    }
    return std::move(table.Bytes());
  }

 private:
  void WriteName(std::string_view name) {
    const auto [entry, added] = indices_.try_emplace(name, static_cast<uint32_t>(names_.size()));
    if (added) names_.push_back(name);
    tree_.WriteVarint(entry->second);
  }

  // Node's name and body, then those of its descendants in document order.
  void WriteElements(const TVYNXMLNode& element) {
    struct TPending {
      const TVYNXMLNode* Node;
      int Next;
    };
    std::vector<TPending> pending;
    const TVYNXMLNode* node = &element;
    for (;;) {
      WriteName(node->NodeName);
      const uint8_t flags = (node->NodeValue.empty() ? 0 : HasValue) |
                            (node->Attributes.Count() > 0 ? HasAttributes : 0) |
                            (node->Count() > 0 ? HasChildren : 0);
      tree_.Bytes().push_back(flags);
      if (flags & HasValue) tree_.WriteUtf16(node->NodeValue);
      if (flags & HasAttributes) {
        tree_.WriteVarint(static_cast<uint64_t>(node->Attributes.Count()));
        for (int i = 0; i < node->Attributes.Count(); ++i) {
          const TVYNXMLAttribute& attribute = *node->Attributes.Items(i);
          WriteName(attribute.Name);
          tree_.WriteUtf16(attribute.Value);
        }
      }
      if (flags & HasChildren) {
        tree_.WriteVarint(static_cast<uint64_t>(node->Count()));
        pending.push_back({node, 0});
      }
      while (!pending.empty() && pending.back().Next == pending.back().Node->Count()) {
        pending.pop_back();
      }
      if (pending.empty()) return;
      node = pending.back().Node->Items(pending.back().Next++);
    }
  }

  TByteWriter tree_;
  std::vector<std::string_view> names_;
  std::unordered_map<std::string_view, uint32_t> indices_;
};

}  // namespace

void TVYNBinaryXMLBuilder::Build(const TVYNXMLNode& document) {
  TSXMLWriter writer;
  writer.WriteTree(document);
  const std::vector<uint8_t>& tree = writer.Tree().Bytes();

  uint8_t header[12] = {'S', 'X', 'M', 'L'};
  const auto tree_length = static_cast<uint64_t>(tree.size());
  for (int i = 0; i < 8; ++i) header[4 + i] = static_cast<uint8_t>(tree_length >> (8 * i));
  stream_.WriteBuffer(header, sizeof header);
  stream_.WriteBuffer(tree.data(), static_cast<int64_t>(tree.size()));
  const std::vector<uint8_t> table = writer.StringTable();
  stream_.WriteBuffer(table.data(), static_cast<int64_t>(table.size()));
}
