// The text XML parser.
#include "support/xml_text_parser.h"

#include <algorithm>
#include <charconv>

#include "support/encoding.h"
#include "support/xml_helper.h"
#include "support/xml_node.h"

namespace {

using Kind = TVYNXMLTokenKind;

constexpr size_t NoText = std::string_view::npos;

bool IsBlank(char c) {
  return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

bool EndsWord(char c) {
  return c == '=' || c == '/' || c == '<' || c == '>' || IsBlank(c);
}

// ASCII letters only: the texts compared here are fixed ASCII words.
bool SameAsciiIgnoringCase(StringView text, std::string_view ascii) {
  if (text.size() != ascii.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    char a = ascii[i];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (c != static_cast<unsigned char>(a)) return false;
  }
  return true;
}

const TEncoding* CodePageOf(int32_t code_page) {
  return &TEncoding::GetEncoding(static_cast<unsigned>(code_page));
}

// Names are bytes; for a message they are shown as UTF-8, which the ASCII names of real
// documents are.
String TagLabel(std::string_view name) {
  if (name.empty()) return u"a tag";
  return u"the tag <" + Utf8ToString(name) + u">";
}

String EndTag(std::string_view name) {
  return u"</" + Utf8ToString(name) + u">";
}

}  // namespace

TVYNTextXMLParser::TVYNTextXMLParser(std::string_view input, const TVYNXMLReadSettings& settings)
    : input_(input) {
  switch (settings.Mode) {
    case xemUtf8: code_page_ = nullptr; break;
    case xemCodePage: code_page_ = CodePageOf(settings.CodePage); break;
    default: code_page_ = &TEncoding::ANSI(); break;
  }
  // An editor that saves with a byte order mark says how the file is encoded more surely than
  // any default: without this, UTF-16 input would read as no element at all, and a UTF-8 file
  // without a declaration would read in the ANSI code page.
  const auto* bytes = reinterpret_cast<const uint8_t*>(input.data());
  if (input.starts_with("\xEF\xBB\xBF")) {
    input_ = input.substr(3);
  } else if (input.starts_with("\xFF\xFE") || input.starts_with("\xFE\xFF")) {
    const TEncoding& utf16 =
        bytes[0] == 0xFF ? TEncoding::Unicode() : TEncoding::BigEndianUnicode();
    transcoded_ = StringToUtf8(utf16.GetString(bytes + 2, input.size() - 2));
    input_ = transcoded_;
  } else {
    return;
  }
  code_page_ = nullptr;
  encoding_fixed_ = true;
}

void TVYNTextXMLParser::NoteProblem(size_t offset, String message) {
  if (problem_) return;
  offset = std::min(offset, input_.size());
  TVYNXMLProblem problem;
  problem.Line = 1;
  problem.Column = 1;
  for (size_t i = 0; i < offset; ++i) {
    const auto byte = static_cast<unsigned char>(input_[i]);
    if (byte == '\n') {
      ++problem.Line;
      problem.Column = 1;
    } else if ((byte & 0xC0) != 0x80) {
      // UTF-8 continuation bytes belong to the character before them.
      ++problem.Column;
    }
  }
  problem.Message = std::move(message);
  problem_ = std::move(problem);
}

bool TVYNTextXMLParser::ScanDelimited(std::string_view opening, std::string_view closing,
                                      size_t& unclosed_from, TVYNXMLTokenKind kind,
                                      TVYNXMLToken& token) {
  const std::string_view rest = input_.substr(position_);
  if (opening.size() + closing.size() >= rest.size() || !rest.starts_with(opening)) return false;
  const size_t search_from = position_ + opening.size();
  if (search_from >= unclosed_from) return false;
  const size_t close = input_.find(closing, search_from);
  if (close == std::string_view::npos) {
    unclosed_from = search_from;
    return false;
  }
  token = {kind, search_from, close - search_from};
  position_ = close + closing.size();
  return true;
}

bool TVYNTextXMLParser::NextToken(TVYNXMLToken& token) {
  const size_t size = input_.size();
  while (position_ < size && IsBlank(input_[position_])) ++position_;
  if (position_ >= size) return false;

  const char c = input_[position_];
  const char next = position_ + 1 < size ? input_[position_ + 1] : '\0';
  if (c == '"' || c == '\'') {
    const size_t start = position_ + 1;
    size_t end = start;
    while (end < size && input_[end] != c && input_[end] != '<' && input_[end] != '>') ++end;
    token = {Kind::xtkText, start, end - start};
    const bool closed = end < size && input_[end] == c;
    if (!closed) NoteProblem(position_, u"the quoted value that starts here has no closing quote");
    position_ = closed ? end + 1 : end;
    return true;
  }
  const auto fixed = [&](Kind kind, size_t length) {
    token = {kind, position_, length};
    position_ += length;
    return true;
  };
  if ((c == '/' || c == '?') && next == '>') return fixed(Kind::xtkEmptyTagEnd, 2);
  if (c == '<') {
    if (next == '/') return fixed(Kind::xtkEndTagStart, 2);
    if (ScanDelimited("<!--", "-->", comment_unclosed_from_, Kind::xtkComment, token)) return true;
    if (ScanDelimited("<![CDATA[", "]]>", cdata_unclosed_from_, Kind::xtkCData, token)) return true;
    return fixed(Kind::xtkTagStart, 1);
  }
  if (c == '=') return fixed(Kind::xtkEquals, 1);
  if (c == '>') return fixed(Kind::xtkTagEnd, 1);
  if (c == '/') return fixed(Kind::xtkText, 1);
  size_t end = position_ + 1;
  while (end < size && !EndsWord(input_[end])) ++end;
  return fixed(Kind::xtkText, end - position_);
}

TVYNXMLNode* TVYNTextXMLParser::ParseTag(TVYNXMLNode& node) {
  TVYNXMLNode* result = node.Parent();
  TVYNXMLAttribute* attribute = nullptr;
  // Called right after the "<".
  const size_t tag_start = position_ - 1;
  // 0: the name comes next; 1: an attribute name; 2: "=" or the next attribute's name;
  // 3: a value; 4: the next attribute.
  int state = 0;
  TVYNXMLToken token;
  while (NextToken(token)) {
    switch (token.Kind) {
      case Kind::xtkTagStart:
      case Kind::xtkComment:
      case Kind::xtkCData: {
        const size_t marker = token.Kind == Kind::xtkComment ? 4
                              : token.Kind == Kind::xtkCData ? 9
                                                             : 0;
        NoteProblem(token.Start - marker,
                    TagLabel(node.NodeName) + u" is not closed with \">\" before this \"<\"");
        return nullptr;
      }
      case Kind::xtkTagEnd:
      case Kind::xtkEmptyTagEnd:
        if (state == 0) NoteProblem(tag_start, u"a \"<\" is not followed by an element name");
        return token.Kind == Kind::xtkTagEnd ? &node : result;
      case Kind::xtkEndTagStart:
        NoteProblem(token.Start,
                    TagLabel(node.NodeName) + u" is not closed with \">\" before this \"</\"");
        break;
      default: break;
    }
    if (state > 3) state = 1;
    if (state == 0) node.NodeName = TokenText(token);
    // A name that follows a name without "=" between them starts another attribute, so an
    // attribute may stand without a value.
    if (state == 2 && token.Kind != Kind::xtkEquals) state = 1;
    if (state == 1) attribute = node.Attributes.Add(TokenText(token));
    if (state == 3 && attribute) attribute->Value = DecodeText(TokenText(token));
    ++state;
  }
  NoteProblem(input_.size(), u"the file ends inside " + TagLabel(node.NodeName));
  return result;
}

void TVYNTextXMLParser::CheckEndTag(const TVYNXMLNode& current, const TVYNXMLToken& end_tag_start) {
  const size_t resume = position_;
  TVYNXMLToken name;
  if (!NextToken(name) || name.Kind != Kind::xtkText || TokenText(name) != current.NodeName) {
    const String found = name.Kind == Kind::xtkText && position_ != resume
                             ? EndTag(TokenText(name))
                             : String(u"\"</\" without a name");
    NoteProblem(end_tag_start.Start, u"expected " + EndTag(current.NodeName) + u" to close <" +
                                         Utf8ToString(current.NodeName) + u">, found " + found);
    position_ = resume;
    return;
  }
  TVYNXMLToken end;
  if (!NextToken(end) || end.Kind != Kind::xtkTagEnd) {
    NoteProblem(end_tag_start.Start,
                u"the end tag " + EndTag(current.NodeName) + u" is not closed with \">\"");
    position_ = resume;
  }
  // A well-formed end tag stays consumed: the document loop ignores both tokens anyway, and
  // would otherwise take them for text outside the top element.
}

void TVYNTextXMLParser::Parse(TVYNXMLNode& document) {
  document.Clear();
  TVYNXMLNode* const top = &document;
  TVYNXMLNode* current = &document;
  bool preserve = false;
  size_t text_start = NoText;
  TVYNXMLToken token;
  while (NextToken(token)) {
    switch (token.Kind) {
      case Kind::xtkTagStart: {
        const char next = position_ < input_.size() ? input_[position_] : '\0';
        if (next == '?' || next == '!') {
          // Comments and CDATA come as tokens of their own when they are closed.
          const std::string_view rest = input_.substr(token.Start);
          if (rest.starts_with("<!--")) {
            NoteProblem(token.Start, u"the comment that starts here is not closed with \"-->\"");
          } else if (rest.starts_with("<![CDATA[")) {
            NoteProblem(token.Start,
                        u"the CDATA section that starts here is not closed with "
                        u"\"]]>\"");
          }
          // A declaration; only its encoding matters. "<!" declarations (a document type) are
          // read the same way and dropped.
          TVYNXMLNode scratch;
          ParseTag(scratch);
          if (next == '?') {
            if (const TVYNXMLAttribute* encoding = scratch.Attributes.Find("encoding")) {
              SetEncodingFromDeclaration(encoding->Value);
            }
          }
          break;
        }
        StoreText(*current, text_start, token.Start, preserve);
        TVYNXMLNode* element = current->Add({});
        TVYNXMLNode* result = ParseTag(*element);
        if (const TVYNXMLAttribute* space = element->Attributes.Find("xml:space")) {
          preserve = SameAsciiIgnoringCase(space->Value, "preserve");
          element->Attributes.Remove("xml:space");
        }
        if (result != element) preserve = false;
        if (!result) return;
        current = result;
        text_start = position_;
        break;
      }
      case Kind::xtkEndTagStart:
        // End tags are not matched against start tags for the tree: any end tag closes the
        // current element. A mismatch is only noted as a problem.
        if (current == top) {
          NoteProblem(token.Start, u"this end tag closes no open element");
        } else {
          CheckEndTag(*current, token);
        }
        if (current->Count() == 0) StoreText(*current, text_start, token.Start, preserve);
        preserve = false;
        current = current->Parent();
        if (!current) return;
        text_start = NoText;
        break;
      case Kind::xtkComment: text_start = NoText; break;
      case Kind::xtkCData:
        current->NodeValue = DecodeText(TokenText(token));
        text_start = NoText;
        break;
      default:
        if (current == top) NoteProblem(token.Start, u"text stands outside the top element");
        break;
    }
  }
  if (current != top) {
    NoteProblem(input_.size(), u"the file ends before " + EndTag(current->NodeName) + u" closes <" +
                                   Utf8ToString(current->NodeName) + u">");
  }
}

void TVYNTextXMLParser::StoreText(TVYNXMLNode& node, size_t start, size_t end,
                                  bool preserve) const {
  if (start == NoText || start >= end) return;
  std::string_view text = input_.substr(start, end - start);
  if (!preserve) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20) text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20) text.remove_suffix(1);
  }
  if (!text.empty()) node.NodeValue = DecodeText(text);
}

void TVYNTextXMLParser::SetEncodingFromDeclaration(StringView name) {
  if (encoding_fixed_) return;
  if (SameAsciiIgnoringCase(name, "utf-8")) {
    code_page_ = nullptr;
    return;
  }
  constexpr std::string_view Prefix = "windows-";
  if (name.size() >= Prefix.size() &&
      SameAsciiIgnoringCase(name.substr(0, Prefix.size()), Prefix)) {
    // Only plain decimal digits make a number; anything else means the ANSI code page.
    const std::string digits = StringToUtf8(name.substr(Prefix.size()));
    int32_t code_page = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), code_page);
    if (error != std::errc() || end != digits.data() + digits.size() || digits.empty() ||
        digits[0] == '-') {
      code_page = 0;
    }
    code_page_ = CodePageOf(code_page);
    return;
  }
  code_page_ = &TEncoding::ANSI();
}

String TVYNTextXMLParser::DecodeText(std::string_view bytes) const {
  String text = code_page_ ? code_page_->GetString(reinterpret_cast<const uint8_t*>(bytes.data()),
                                                   bytes.size())
                           : DecodeUtf8(bytes);
  if (text.find_first_of(u"&\\") == String::npos) return text;
  return TVYNXMLHelper::DecodeText(text);
}

String TVYNTextXMLParser::DecodeUtf8(std::string_view bytes) {
  return Utf8ToString(bytes);
}
