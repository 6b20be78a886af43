// The text XML parser.
#include "support/xml_text_parser.h"

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

}  // namespace

TVYNTextXMLParser::TVYNTextXMLParser(std::string_view input, const TVYNXMLReadSettings& settings)
    : input_(input) {
  switch (settings.Mode) {
    case xemUtf8: code_page_ = nullptr; break;
    case xemCodePage: code_page_ = CodePageOf(settings.CodePage); break;
    default: code_page_ = &TEncoding::ANSI(); break;
  }
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
    position_ = end < size && input_[end] == c ? end + 1 : end;
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
  // 0: the name comes next; 1: an attribute name; 2: "=" or the next attribute's name;
  // 3: a value; 4: the next attribute.
  int state = 0;
  TVYNXMLToken token;
  while (NextToken(token)) {
    switch (token.Kind) {
      case Kind::xtkTagStart:
      case Kind::xtkComment:
      case Kind::xtkCData: return nullptr;
      case Kind::xtkTagEnd: return &node;
      case Kind::xtkEmptyTagEnd: return result;
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
  return result;
}

void TVYNTextXMLParser::Parse(TVYNXMLNode& document) {
  document.Clear();
  TVYNXMLNode* current = &document;
  bool preserve = false;
  size_t text_start = NoText;
  TVYNXMLToken token;
  while (NextToken(token)) {
    switch (token.Kind) {
      case Kind::xtkTagStart: {
        const char next = position_ < input_.size() ? input_[position_] : '\0';
        if (next == '?' || next == '!') {
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
        // End tags are not matched against start tags: any end tag closes the current element.
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
      default: break;
    }
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
  String text;
  text.reserve(bytes.size());
  const auto continuation = [&](size_t index, char32_t& value) {
    if (index >= bytes.size()) return false;
    const auto byte = static_cast<unsigned char>(bytes[index]);
    if (byte < 0x80 || byte > 0xBF) return false;
    value = value << 6 | (byte & 0x3F);
    return true;
  };
  size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      text.push_back(lead);
      ++i;
      continue;
    }
    // A lead byte from 0xF0 up brings a fifth value bit into its three-byte sequence, which
    // then lies beyond U+FFFF and is refused like any broken sequence.
    char32_t value = lead & 0x1F;
    const bool three_bytes = lead & 0x20;
    if (!continuation(i + 1, value)) return String();
    if (three_bytes && !continuation(i + 2, value)) return String();
    if (value > 0xFFFF) return String();
    text.push_back(static_cast<char16_t>(value));
    i += three_bytes ? 3 : 2;
  }
  return text;
}
