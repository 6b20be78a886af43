// The XML document: the invisible root of a tree, loaded from text XML or one of the two
// compact binary forms and saved as text or "SXML".
#pragma once

#include <optional>
#include <string_view>

#include "platform/exception.h"
#include "support/xml_node.h"
#include "support/xml_settings.h"
#include "support/xml_text_parser.h"

class TStream;

class EVYNXMLDocument : public Exception {
 public:
  EVYNXMLDocument() : Exception(u"Only one Root available") {}
};

// Its children are the top-level elements; its own name, value and attributes carry nothing.
class TVYNXMLDocument : public TVYNXMLNode {
 public:
  // An empty document that accepts one top-level element.
  TVYNXMLDocument() = default;
  // A document loaded from Stream with the default settings.
  explicit TVYNXMLDocument(TStream& stream);

  // Raises EVYNXMLDocument when the document accepts one top-level element and has it.
  TVYNXMLNode* Add(std::string_view name) override;
  // Raises EVYNXMLDocument, before changing anything, when Source has more top-level elements
  // than the document accepts.
  void Assign(const TVYNXMLNode& source) override;

  // Empties the document and loads it from the rest of Stream: nothing when fewer than 5 bytes
  // remain, the "SXML" or "BXML" form by their magic, and text XML otherwise. The binary forms
  // raise EReadError on input that ends early; text never fails, but any form raises
  // EVYNXMLDocument for a second top-level element, keeping what was read up to it.
  virtual void LoadFromStream(TStream& stream, const TVYNXMLReadSettings& settings = {});
  // Parses Bytes as text XML; UTF-8 unless a declaration names another encoding.
  virtual void LoadFromString(std::string_view bytes);
  virtual void SaveToStream(TStream& stream, const TVYNXMLWriteSettings& settings = {}) const;

  // After a load of text XML: the first rule of XML the text broke, which the lenient reading
  // passed over (see TVYNTextXMLParser::Problem); nothing after a clean text or a binary form.
  const std::optional<TVYNXMLProblem>& TextProblem() const { return text_problem_; }

 protected:
  // For documents that take any number of top-level elements.
  explicit TVYNXMLDocument(bool one_root) : one_root_(one_root) {}

  void CheckRoomForChild() const override;

 private:
  void Reset();

  bool one_root_ = true;
  std::optional<TVYNXMLProblem> text_problem_;
};
