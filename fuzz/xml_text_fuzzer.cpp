// Fuzzes the text XML parser with any bytes, then writes what it built in both forms and reads
// it back: the "SXML" form must give the same tree, and so must the text form whenever the tree
// holds nothing that text cannot carry and the layout adds no blanks.
//
// The first byte picks the settings: bits 0-1 the encoding mode (3 is an unknown mode), bits
// 2-3 the code page of mode 2, bits 4-6 the text layout (attributes on new lines, indent, line
// breaks).
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "support/memory_stream.h"
#include "support/xml_document.h"
#include "support/xml_test_tree.h"
#include "support/xml_text_parser.h"

namespace {

bool TextSafeName(std::string_view name) {
  if (name.empty() || SameXMLName(name, "xml:space")) return false;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
                       (byte >= 'a' && byte <= 'z') || byte == '_' || byte == '-' || byte == '.' ||
                       byte == ':' || byte >= 0x80;
    if (!plain) return false;
  }
  return true;
}

// Text loses control characters at the ends of a value, surrogates that form no pair (UTF-8
// cannot carry them), and what an ampersand or a backslash start on reading.
bool TextSafeValue(StringView value) {
  for (size_t i = 0; i < value.size(); ++i) {
    const char16_t unit = value[i];
    if (unit < 0x20 && unit != u'\t' && unit != u'\r' && unit != u'\n') return false;
    if (unit == u'&' || unit == u'\\') return false;
    const bool high = unit >= 0xD800 && unit <= 0xDBFF;
    const bool low_follows =
        i + 1 < value.size() && value[i + 1] >= 0xDC00 && value[i + 1] <= 0xDFFF;
    if (high && low_follows) {
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      return false;
    }
  }
  return true;
}

bool TextSafe(const TVYNXMLNode& root) {
  std::vector<const TVYNXMLNode*> pending{&root};
  while (!pending.empty()) {
    const TVYNXMLNode* node = pending.back();
    pending.pop_back();
    for (int i = 0; i < node->Count(); ++i) {
      const TVYNXMLNode& child = *node->Items(i);
      if (!TextSafeName(child.NodeName) || !TextSafeValue(child.NodeValue)) return false;
      for (int j = 0; j < child.Attributes.Count(); ++j) {
        const TVYNXMLAttribute& attribute = *child.Attributes.Items(j);
        if (!TextSafeName(attribute.Name) || !TextSafeValue(attribute.Value)) return false;
      }
      pending.push_back(&child);
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t selector = data[0];
  const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);

  constexpr int32_t CodePages[] = {1251, 932, 65001, 12345};
  const TVYNXMLReadSettings read_settings{.CodePage = CodePages[(selector >> 2) & 3],
                                          .Mode = TVYNXMLEncodingMode(selector & 3)};
  TVYNXMLDocument document;
  try {
    TVYNTextXMLParser(input, read_settings).Parse(document);
  } catch (const EVYNXMLDocument&) {
    // A second top-level element; what came before it stays.
  }
  Require(document.Count() <= 1);

  TMemoryStream binary;
  document.SaveToStream(binary, {.Format = xfBinary});
  binary.SetPosition(0);
  TVYNXMLDocument from_binary(binary);
  Require(xml_test::SameChildren(document, from_binary));

  const TVYNXMLWriteSettings layout{.Format = xfText,
                                    .AttributesOnNewLines = (selector & 0x10) != 0,
                                    .Indent = (selector & 0x20) != 0,
                                    .LineBreaks = (selector & 0x40) != 0};
  TMemoryStream text;
  document.SaveToStream(text, layout);
  text.SetPosition(0);
  TVYNXMLDocument from_text;
  bool text_read = true;
  try {
    from_text.LoadFromStream(text);
  } catch (const EVYNXMLDocument&) {
    // Names are written as their bytes: an empty one makes "</>", which closes the root.
    text_read = false;
  }
  // Indents and line breaks would become part of values inside elements that preserve blanks.
  if (!layout.Indent && !layout.LineBreaks && TextSafe(document)) {
    Require(text_read && xml_test::SameChildren(document, from_text));
  }
  return 0;
}
