// The text XML writer.
#include "support/xml_text_builder.h"

#include <vector>

#include "platform/text.h"
#include "support/stream.h"
#include "support/xml_helper.h"
#include "support/xml_node.h"

namespace {

constexpr size_t FlushSize = 64 * 1024;
constexpr std::string_view LineBreak = "\r\n";

std::string EncodedUtf8(StringView text) {
  return StringToUtf8(TVYNXMLHelper::EncodeText(text));
}

}  // namespace

void TVYNTextXMLBuilder::Build(const TVYNXMLNode& document) {
  buffer_.reserve(FlushSize + 1024);
  Write("<?xml version=\"1.0\" encoding=\"utf-8\"?>");
  Write(LineBreak);

  // Elements whose children are being written, innermost last.
  struct TOpen {
    const TVYNXMLNode* Node;
    int Level;
    bool Preserve;
    int Next;
  };
  std::vector<TOpen> open;
  const auto visit = [&](const TVYNXMLNode& node, int level, bool parent_preserves) {
    const bool preserve = OpenElement(node, level, parent_preserves);
    if (node.Count() > 0) open.push_back({&node, level, preserve, 0});
  };
  for (int i = 0; i < document.Count(); ++i) {
    visit(*document.Items(i), 0, false);
    while (!open.empty()) {
      TOpen& top = open.back();
      if (top.Next < top.Node->Count()) {
        visit(*top.Node->Items(top.Next++), top.Level + 1, top.Preserve);
      } else {
        CloseElement(*top.Node, top.Level);
        open.pop_back();
      }
    }
  }
  Flush();
}

bool TVYNTextXMLBuilder::OpenElement(const TVYNXMLNode& node, int level, bool parent_preserves) {
  if (settings_.Indent && !parent_preserves) WriteTabs(level);
  Write("<");
  Write(node.NodeName);

  const bool has_children = node.Count() > 0;
  const bool has_content = !node.NodeValue.empty() || has_children;
  const bool preserve = has_content && TVYNXMLHelper::NeedsPreserve(node.NodeValue);
  if (node.Attributes.Count() > 0 || preserve) {
    for (int i = 0; i < node.Attributes.Count(); ++i) {
      const TVYNXMLAttribute& attribute = *node.Attributes.Items(i);
      WriteAttribute(attribute.Name, EncodedUtf8(attribute.Value), level);
    }
    if (preserve) WriteAttribute("xml:space", "preserve", level);
    if (settings_.Indent && settings_.AttributesOnNewLines) {
      Write(LineBreak);
      WriteTabs(level);
    }
  }
  if (!has_content) {
    Write("/>");
    if (settings_.LineBreaks) Write(LineBreak);
    return false;
  }

  Write(">");
  Write(EncodedUtf8(node.NodeValue));
  if (!has_children) {
    Write("</");
    Write(node.NodeName);
    Write(">");
    if (settings_.LineBreaks) Write(LineBreak);
    return false;
  }
  if (settings_.LineBreaks && !preserve) Write(LineBreak);
  return preserve;
}

void TVYNTextXMLBuilder::CloseElement(const TVYNXMLNode& node, int level) {
  if (settings_.Indent) WriteTabs(level);
  Write("</");
  Write(node.NodeName);
  Write(">");
  if (settings_.LineBreaks) Write(LineBreak);
}

void TVYNTextXMLBuilder::WriteAttribute(std::string_view name, const std::string& value,
                                        int level) {
  if (settings_.AttributesOnNewLines) {
    Write(LineBreak);
    WriteTabs(level + 1);
  } else {
    Write(" ");
  }
  Write(name);
  Write("=\"");
  Write(value);
  Write("\"");
}

void TVYNTextXMLBuilder::WriteTabs(int count) {
  buffer_.append(static_cast<size_t>(count), '\t');
  if (buffer_.size() >= FlushSize) Flush();
}

void TVYNTextXMLBuilder::Write(std::string_view bytes) {
  buffer_.append(bytes);
  if (buffer_.size() >= FlushSize) Flush();
}

void TVYNTextXMLBuilder::Flush() {
  stream_.WriteBuffer(buffer_.data(), static_cast<int64_t>(buffer_.size()));
  buffer_.clear();
}
