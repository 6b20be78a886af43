// The lenient text XML parser: a tokenizer over one contiguous buffer, a tag parser and the
// document loop. It never rejects input: unknown constructs are skipped, a malformed tag or an
// end tag at the top ends the parse, and everything built so far stays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
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

// The first place where a text document breaks the rules of XML, which the lenient reading
// passes over by dropping or misreading content. Line and column count from 1; the column counts
// characters.
struct TVYNXMLProblem {
  int Line = 0;
  int Column = 0;
  String Message;
};

struct TVYNXMLToken {
  TVYNXMLTokenKind Kind = TVYNXMLTokenKind::xtkText;
  size_t Start = 0;
  size_t Length = 0;
};

class TVYNTextXMLParser {
 public:
  // Input must outlive the parser: token texts are slices of it. A byte order mark at its
  // start fixes the encoding whatever the settings and a declaration say: UTF-8's is skipped,
  // and UTF-16 input is read through a UTF-8 copy the parser keeps.
  TVYNTextXMLParser(std::string_view input, const TVYNXMLReadSettings& settings);
  TVYNTextXMLParser(const TVYNTextXMLParser&) = delete;
  TVYNTextXMLParser& operator=(const TVYNTextXMLParser&) = delete;

  // Clears Document and fills it from the input. Raises only what Document's Add raises (the
  // one-root rule of a document).
  void Parse(TVYNXMLNode& document);

  // After Parse: the first rule of XML the input broke (a tag left open or broken by "<", an
  // end tag that closes another element or none, an element the input ends in, an unclosed
  // quote, comment or CDATA, text outside the top element), or nothing. Parse builds the same
  // tree either way; a reader that must not act on a damaged document asks this.
  const std::optional<TVYNXMLProblem>& Problem() const { return problem_; }

  // The next token after blanks (tab, LF, CR, space); false at the end of the input.
  bool NextToken(TVYNXMLToken& token);
  std::string_view TokenText(const TVYNXMLToken& token) const {
    return input_.substr(token.Start, token.Length);
  }

  // Bytes to text with the current encoding, then character references decoded.
  String DecodeText(std::string_view bytes) const;

  // UTF-8 of one to four bytes per character; characters beyond U+FFFF become surrogate pairs.
  // A sequence that is not valid UTF-8 becomes U+FFFD, one per maximal invalid part, and the
  // rest of the run is kept: a file name or a publisher must never read as an empty text.
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
  // Checks the end tag whose "</" was just read against Current, without moving the position.
  void CheckEndTag(const TVYNXMLNode& current, const TVYNXMLToken& end_tag_start);
  // Keeps the first problem only: later ones are mostly echoes of it.
  void NoteProblem(size_t offset, String message);

  // The UTF-8 copy of UTF-16 input; empty otherwise.
  std::string transcoded_;
  std::string_view input_;
  size_t position_ = 0;
  // nil: the parser's own UTF-8 decoder; otherwise the platform's conversion of a code page.
  const TEncoding* code_page_ = nullptr;
  // A byte order mark chose the encoding; declarations no longer change it.
  bool encoding_fixed_ = false;
  std::optional<TVYNXMLProblem> problem_;
  // Searches for a closing marker that failed from here on fail again from any later start;
  // remembering that keeps a run of unclosed "<!--" linear instead of quadratic.
  size_t comment_unclosed_from_ = std::string_view::npos;
  size_t cdata_unclosed_from_ = std::string_view::npos;
};
