// The general tokenizer.
#include "support/parser.h"

namespace {

bool Contains(const String& set, char16_t c) {
  return set.find(c) != String::npos;
}

}  // namespace

TVYNParser::TVYNParser(StringView text, TVYNParserOptions options)
    : text_(text), options_(std::move(options)) {}

bool TVYNParser::NextToken(TVYNToken& token) {
  while (ScanToken(token)) {
    if (!IsSkipped(token.Kind)) return true;
  }
  return false;
}

StringView TVYNParser::TokenText(const TVYNToken& token) const {
  return StringView(text_).substr(token.Start, token.Length);
}

bool TVYNParser::IsSkipped(TVYNTokenKind kind) const {
  switch (kind) {
    case TVYNTokenKind::tkSpace: return options_.SkipSpaces;
    case TVYNTokenKind::tkDelimiter: return options_.SkipDelimiters;
    case TVYNTokenKind::tkLoneQuote:
    case TVYNTokenKind::tkQuoted: return options_.SkipQuotes;
    case TVYNTokenKind::tkWord: return false;
  }
  return false;
}

bool TVYNParser::ScanToken(TVYNToken& token) {
  if (position_ >= text_.size()) return false;
  const size_t start = position_;
  const char16_t c = text_[start];
  auto single = [&](TVYNTokenKind kind) {
    token = {start, 1, kind};
    position_ = start + 1;
    return true;
  };

  if (Contains(options_.Spaces, c)) return single(TVYNTokenKind::tkSpace);
  if (Contains(options_.Quotes, c)) {
    if (!options_.QuotedTextAsSingleToken) return single(TVYNTokenKind::tkLoneQuote);
    const size_t closing = text_.find(c, start + 1);
    if (closing == String::npos) return single(TVYNTokenKind::tkLoneQuote);
    token.Kind = TVYNTokenKind::tkQuoted;
    token.Start = options_.StripQuotes ? start + 1 : start;
    token.Length = options_.StripQuotes ? closing - start - 1 : closing - start + 1;
    position_ = closing + 1;
    return true;
  }
  if (Contains(options_.Delimiters, c)) return single(TVYNTokenKind::tkDelimiter);

  // A word may hold quotes and blanks that are not delimiters; only a delimiter ends it.
  size_t end = start + 1;
  while (end < text_.size() && !Contains(options_.Delimiters, text_[end])) ++end;
  token = {start, end - start, TVYNTokenKind::tkWord};
  position_ = end;
  return true;
}
