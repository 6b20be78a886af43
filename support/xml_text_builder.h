// Writes an XML document as UTF-8 text.
#pragma once

#include <string>
#include <string_view>

#include "support/xml_settings.h"

class TStream;
class TVYNXMLNode;

// The declaration line, then every top-level element. Values and attribute values are written
// with their special characters escaped (existing references are kept); names are written as
// their bytes. A value that the reader would trim or cut (see TVYNXMLHelper::NeedsPreserve)
// gets xml:space="preserve", and nothing is indented or broken inside such an element's
// content, so reading the text back gives the same value.
class TVYNTextXMLBuilder {
 public:
  TVYNTextXMLBuilder(TStream& stream, const TVYNXMLWriteSettings& settings)
      : stream_(stream), settings_(settings) {}

  void Build(const TVYNXMLNode& document);

 private:
  // Writes an element without children whole, and one with children up to its first child;
  // returns whether the element needs "preserve".
  bool OpenElement(const TVYNXMLNode& node, int level, bool parent_preserves);
  void CloseElement(const TVYNXMLNode& node, int level);
  void WriteTabs(int count);
  void WriteAttribute(std::string_view name, const std::string& value, int level);
  void Write(std::string_view bytes);
  void Flush();

  TStream& stream_;
  TVYNXMLWriteSettings settings_;
  // Pieces are gathered here and reach the stream in large blocks.
  std::string buffer_;
};
