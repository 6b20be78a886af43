// The general tokenizer: cuts a text into spaces, delimiters, quoted texts and words, by a
// configuration fixed at creation.
#pragma once

#include <cstddef>

#include "platform/text.h"

enum class TVYNTokenKind {
  tkSpace = 1,      // one blank character
  tkDelimiter = 2,  // one delimiter character
  tkLoneQuote = 3,  // a quote character without a closing partner
  tkQuoted = 4,     // what lies between a quote and the next occurrence of the same character
  tkWord = 5,       // one or more characters up to the next delimiter
};

// A piece of the input: where it starts, how long it is, and its kind.
struct TVYNToken {
  size_t Start = 0;
  size_t Length = 0;
  TVYNTokenKind Kind = TVYNTokenKind::tkWord;
};

struct TVYNParserOptions {
  String Delimiters;
  String Quotes;
  String Spaces;
  bool QuotedTextAsSingleToken = false;
  // A quoted token's text excludes its two quote characters.
  bool StripQuotes = false;
  // Tokens of these kinds are dropped instead of returned (SkipQuotes drops lone quotes and
  // quoted texts alike).
  bool SkipSpaces = false;
  bool SkipDelimiters = false;
  bool SkipQuotes = false;
};

class TVYNParser {
 public:
  TVYNParser(StringView text, TVYNParserOptions options);
  virtual ~TVYNParser() = default;

  // The next token that the Skip options keep; false at the end of the input.
  bool NextToken(TVYNToken& token);

  StringView TokenText(const TVYNToken& token) const;
  const String& Text() const { return text_; }
  size_t Position() const { return position_; }
  size_t Remaining() const { return text_.size() - position_; }

 private:
  bool ScanToken(TVYNToken& token);
  bool IsSkipped(TVYNTokenKind kind) const;

  String text_;
  TVYNParserOptions options_;
  size_t position_ = 0;
};
