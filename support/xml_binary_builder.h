// Writes an XML document in the compact "SXML" form.
#pragma once

class TStream;
class TVYNXMLNode;

// Layout: "SXML", the tree's length as a signed 64-bit number, the tree, then the string table
// of names. A name's index is its place in order of first use, walking the document in order
// and visiting a node's name, its attribute names, then its children. Integers are
// little-endian, counts, indices and lengths varints; a flag is set only when there is
// something to write (a value that is not empty, an attribute, a child).
class TVYNBinaryXMLBuilder {
 public:
  explicit TVYNBinaryXMLBuilder(TStream& stream) : stream_(stream) {}

  // Writes Document's top-level elements (its own name, value and attributes carry nothing).
  void Build(const TVYNXMLNode& document);

 private:
  TStream& stream_;
};
