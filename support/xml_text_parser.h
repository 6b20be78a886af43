// The lenient text XML parser: a tokenizer over one contiguous buffer, a tag parser and the
// document loop. It never rejects input: unknown constructs are skipped, a malformed tag or an
// end tag at the top ends the parse, and everything built so far stays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/text.h"
#include "support/xml_settings.h"

class TEncoding;
class TVYNXMLNode;

enum class TVYNXMLTokenKind : uint8_t {
  xtkText = 0,         // a word, a quoted text (without its quotes) or a lone slash
  xtkEquals = 1,       // "="
  xtkTagStart = 2,     // "<"
  xtkTagEnd = 3,       // ">"
  xtkEmptyTagEnd = 4,  // "/>" or "?>"
  xtkEndTagStart = 5,  // "</"
  xtkComment = 6,      // "<!--" ... "-->", the text between the markers
  xtkCData = 7,        // "<![CDATA[" ... "]]>", the text between the markers
};

struct TVYNXMLToken {
  TVYNXMLTokenKind Kind = TVYNXMLTokenKind::xtkText;
  size_t Start = 0;
  size_t Length = 0;
};

class TVYNTextXMLParser {
 public:
  // Input must outlive the parser: token texts are slices of it.
  TVYNTextXMLParser(std::string_view input, const TVYNXMLReadSettings& settings);

  // Clears Document and fills it from the input. Raises only what Document's Add raises (the
  // one-root rule of a document).
  void Parse(TVYNXMLNode& document);

  // The next token after blanks (tab, LF, CR, space); false at the end of the input.
  bool NextToken(TVYNXMLToken& token);
  std::string_view TokenText(const TVYNXMLToken& token) const {
    return input_.substr(token.Start, token.Length);
  }

  // Bytes to text with the current encoding, then character references decoded.
  String DecodeText(std::string_view bytes) const;

  // UTF-8 of one to three bytes per character. A lead byte with the top bit set starts three
  // bytes when bit 5 is set, else two; continuation bytes must lie in 0x80-0xBF. A missing or
  // wrong continuation byte, or a character beyond U+FFFF, makes the whole run empty.
  static String DecodeUtf8(std::string_view bytes);

 private:
  // Reads the rest of a tag into Node (name, attributes) and returns the node that becomes
  // current: Node for an open element, Node's parent for an empty one or when the input ends,
  // nil for a malformed tag.
  TVYNXMLNode* ParseTag(TVYNXMLNode& node);
  void StoreText(TVYNXMLNode& node, size_t start, size_t end, bool preserve) const;
  void SetEncodingFromDeclaration(StringView name);
  // A comment or CDATA section at the position: both markers must fit into the remaining input
  // with room to spare, and the closing marker must follow the opening one.
  bool ScanDelimited(std::string_view opening, std::string_view closing, size_t& unclosed_from,
                     TVYNXMLTokenKind kind, TVYNXMLToken& token);

  std::string_view input_;
  size_t position_ = 0;
  // nil: the parser's own UTF-8 decoder; otherwise the platform's conversion of a code page.
  const TEncoding* code_page_ = nullptr;
  // Searches for a closing marker that failed from here on fail again from any later start;
  // remembering that keeps a run of unclosed "<!--" linear instead of quadratic.
  size_t comment_unclosed_from_ = std::string_view::npos;
  size_t cdata_unclosed_from_ = std::string_view::npos;
};
