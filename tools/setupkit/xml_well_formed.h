// Whether a document is well-formed XML, and where it first is not. The installer's own reader
// forgives a great deal (a wrong closing tag, a truncated file), so a maker's mistake would
// only show as a missing setting or file at install time; the maker's tool holds the script to
// the standard instead and says where it breaks it.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "platform/text.h"

struct TXmlProblem {
  // Where the problem is found, both counted from 1; the column counts characters.
  int Line = 0;
  int Column = 0;
  // What was found and what was expected there, as a sentence.
  String Message;
};

struct TXmlAttribute {
  String Name;
  // With its references replaced by what they stand for.
  String Value;
  int Line = 0;
  int Column = 0;
};

// An element as the document spells it, with where it starts, for messages that point there.
struct TXmlElement {
  String Name;
  int Line = 0;
  int Column = 0;
  std::vector<TXmlAttribute> Attributes;
  // The character data and CDATA sections directly inside, references replaced.
  String Text;
  std::vector<TXmlElement> Children;
};

// Checks Bytes: UTF-8 with or without its byte order mark, or UTF-16 with one. Elements nest
// and close by their own names, attributes are named once and quoted, references are known
// entities or character numbers, and one root element holds everything but comments,
// processing instructions and a document type. Returns the first problem, or nothing; then
// Root holds the root element with everything in it.
std::optional<TXmlProblem> ReadWellFormedXml(std::string_view bytes, TXmlElement& root);

// ReadWellFormedXml without the elements.
std::optional<TXmlProblem> FindXmlWellFormednessProblem(std::string_view bytes);
