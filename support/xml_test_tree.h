// Test helper: a one-line picture of an XML tree, so that tests compare whole trees and a
// failure shows what differs; and a structural comparison for the fuzz targets.
//
// Picture of an element: name, then [attribute="value" ...] when it has attributes, ="value"
// when its value is not empty, and {child child ...} when it has children. The picture of a
// document (or of any node) is the pictures of its children separated by spaces. Names and
// values keep printable ASCII and UTF-8; control characters, quotes, backslashes and lone
// surrogates are escaped, and so are the picture's own punctuation characters in names.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"
#include "support/xml_node.h"

namespace xml_test {

inline void AppendEscapedByte(std::string& out, unsigned char c) {
  char hex[8];
  std::snprintf(hex, sizeof hex, "\\x%02X", c);
  out += hex;
}

inline std::string PictureName(std::string_view name) {
  std::string out;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F ||
        std::string_view(" \"\\[]{}=").find(c) != std::string_view::npos) {
      AppendEscapedByte(out, byte);
    } else {
      out += c;
    }
  }
  return out;
}

inline std::string PictureValue(StringView value) {
  std::string out = "\"";
  for (const char16_t unit : value) {
    if (unit < 0x20 || unit == 0x7F || unit == u'"' || unit == u'\\') {
      AppendEscapedByte(out, static_cast<unsigned char>(unit));
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\u%04X", static_cast<unsigned>(unit));
      out += hex;
    } else {
      out += StringToUtf8(StringView(&unit, 1));
    }
  }
  out += '"';
  return out;
}

inline std::string Picture(const TVYNXMLNode& root) {
  std::string out;
  struct TOpen {
    const TVYNXMLNode* Node;
    int Next;
  };
  std::vector<TOpen> open{{&root, 0}};
  while (!open.empty()) {
    TOpen& top = open.back();
    if (top.Next == top.Node->Count()) {
      open.pop_back();
      if (!open.empty()) out += "}";
      continue;
    }
    const TVYNXMLNode& node = *top.Node->Items(top.Next);
    if (top.Next++ > 0) out += " ";
    out += PictureName(node.NodeName);
    if (node.Attributes.Count() > 0) {
      out += "[";
      for (int i = 0; i < node.Attributes.Count(); ++i) {
        if (i > 0) out += " ";
        out += PictureName(node.Attributes.Items(i)->Name);
        out += '=';
        out += PictureValue(node.Attributes.Items(i)->Value);
      }
      out += "]";
    }
    if (!node.NodeValue.empty()) {
      out += '=';
      out += PictureValue(node.NodeValue);
    }
    if (node.Count() > 0) {
      out += "{";
      open.push_back({&node, 0});
    }
  }
  return out;
}

// Whether the children of A and B form the same trees: names, values and attributes in order.
inline bool SameChildren(const TVYNXMLNode& a, const TVYNXMLNode& b) {
  std::vector<std::pair<const TVYNXMLNode*, const TVYNXMLNode*>> pending{{&a, &b}};
  while (!pending.empty()) {
    const auto [x, y] = pending.back();
    pending.pop_back();
    if (x->Count() != y->Count()) return false;
    for (int i = 0; i < x->Count(); ++i) {
      const TVYNXMLNode& child_x = *x->Items(i);
      const TVYNXMLNode& child_y = *y->Items(i);
      if (child_x.NodeName != child_y.NodeName || child_x.NodeValue != child_y.NodeValue ||
          child_x.Attributes.Count() != child_y.Attributes.Count()) {
        return false;
      }
      for (int j = 0; j < child_x.Attributes.Count(); ++j) {
        const TVYNXMLAttribute& attribute_x = *child_x.Attributes.Items(j);
        const TVYNXMLAttribute& attribute_y = *child_y.Attributes.Items(j);
        if (attribute_x.Name != attribute_y.Name || attribute_x.Value != attribute_y.Value) {
          return false;
        }
      }
      pending.emplace_back(&child_x, &child_y);
    }
  }
  return true;
}

}  // namespace xml_test
