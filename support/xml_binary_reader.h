// Readers of the two compact binary XML forms: "SXML" (varints and a string table of names) and
// the older "BXML" (fixed-size integers, names inline).
#pragma once

#include <cstddef>
#include <string_view>

class TVYNXMLNode;

// Both read the bytes that follow the magic and add the top-level elements to Document with its
// own Add, so a document's one-root rule holds here too. Input that ends early, or a count,
// length or name index that the remaining bytes cannot hold, raises EReadError before anything
// of that size is allocated. Nesting is read with a list of its own, not by recursion.
class TVYNBinaryXMLReader {
 public:
  // Returns how many bytes the form took (tree and string table).
  static size_t ReadSXML(std::string_view bytes, TVYNXMLNode& document);
  // Returns how many bytes the form took.
  static size_t ReadBXML(std::string_view bytes, TVYNXMLNode& document);
};
