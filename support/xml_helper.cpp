// Character references and escapes of XML text.
#include "support/xml_helper.h"

#include <cstdint>
#include <string_view>

namespace {

struct TNamedCharacter {
  char16_t Character;
  std::u16string_view Name;
};

constexpr TNamedCharacter NamedCharacters[] = {
    {u'&', u"amp"}, {u'>', u"gt"}, {u'<', u"lt"}, {u'"', u"quot"}, {u'\'', u"apos"}};

const TNamedCharacter* FindByCharacter(char16_t c) {
  for (const auto& named : NamedCharacters) {
    if (named.Character == c) return &named;
  }
  return nullptr;
}

const TNamedCharacter* FindByName(StringView name) {
  for (const auto& named : NamedCharacters) {
    if (named.Name == name) return &named;
  }
  return nullptr;
}

bool IsReferenceCharacter(char16_t c) {
  return c == u'#' || (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') ||
         (c >= u'A' && c <= u'Z');
}

int DigitValue(char16_t c, int base) {
  int value = -1;
  if (c >= u'0' && c <= u'9') value = c - u'0';
  if (c >= u'a' && c <= u'f') value = c - u'a' + 10;
  if (c >= u'A' && c <= u'F') value = c - u'A' + 10;
  return value < base ? value : -1;
}

// The number of a numeric reference (what follows '#'): decimal, or hexadecimal after x, X or
// 0x. Numbers that do not parse or do not fit in 32 bits give 0.
uint32_t ReferenceNumber(StringView digits) {
  int base = 10;
  if (!digits.empty() && (digits[0] == u'x' || digits[0] == u'X')) {
    base = 16, digits.remove_prefix(1);
  } else if (digits.size() >= 2 && digits[0] == u'0' && (digits[1] == u'x' || digits[1] == u'X')) {
    base = 16, digits.remove_prefix(2);
  }
  if (digits.empty()) return 0;
  uint64_t number = 0;
  for (const char16_t c : digits) {
    const int digit = DigitValue(c, base);
    if (digit < 0) return 0;
    number = number * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
    if (number > UINT32_MAX) return 0;
  }
  return static_cast<uint32_t>(number);
}

// A character beyond U+FFFF ("&#x1F3B5;") takes two UTF-16 units, a surrogate pair; cutting it
// to its low 16 bits would give an unrelated character. A number beyond Unicode names no
// character and becomes U+FFFD. A surrogate by itself stays a single unit, so that a pair
// written as two references still reads as its character.
void AppendReferencedCharacter(String& text, uint32_t number) {
  constexpr uint32_t LastCodePoint = 0x10FFFF;
  if (number > LastCodePoint) {
    text.push_back(u'\uFFFD');
  } else if (number > 0xFFFF) {
    number -= 0x10000;
    text.push_back(static_cast<char16_t>(0xD800 + (number >> 10)));
    text.push_back(static_cast<char16_t>(0xDC00 + (number & 0x3FF)));
  } else {
    text.push_back(static_cast<char16_t>(number));
  }
}

}  // namespace

size_t TVYNXMLHelper::ReferenceLength(StringView text, size_t position) {
  if (position >= text.size() || text[position] != u'&') return 0;
  size_t end = position + 1;
  while (end < text.size() && IsReferenceCharacter(text[end])) ++end;
  if (end == position + 1 || end >= text.size() || text[end] != u';') return 0;
  return end + 1 - position;
}

String TVYNXMLHelper::DecodeText(StringView text) {
  if (text.find_first_of(u"&\\") == StringView::npos) return String(text);
  String decoded;
  decoded.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\\' && i + 1 < text.size() && FindByCharacter(text[i + 1])) {
      decoded.push_back(text[++i]);
      continue;
    }
    const size_t length = c == u'&' ? ReferenceLength(text, i) : 0;
    if (length == 0) {
      decoded.push_back(c);
      continue;
    }
    const StringView name = text.substr(i + 1, length - 2);
    if (const TNamedCharacter* named = FindByName(name)) {
      decoded.push_back(named->Character);
    } else if (name[0] == u'#') {
      AppendReferencedCharacter(decoded, ReferenceNumber(name.substr(1)));
    } else {
      decoded.append(name);
    }
    i += length - 1;
  }
  return decoded;
}

String TVYNXMLHelper::EncodeText(StringView text) {
  String encoded;
  encoded.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const size_t length = ReferenceLength(text, i);
    if (length > 0) {
      encoded.append(text.substr(i, length));
      i += length - 1;
    } else if (const TNamedCharacter* named = FindByCharacter(text[i])) {
      encoded.push_back(u'&');
      encoded.append(named->Name);
      encoded.push_back(u';');
    } else {
      encoded.push_back(text[i]);
    }
  }
  return encoded;
}

bool TVYNXMLHelper::NeedsPreserve(StringView value) {
  if (value.empty()) return false;
  const auto is_blank = [](char16_t c) {
    return c == u'\t' || c == u'\n' || c == u'\r' || c == u' ';
  };
  return is_blank(value.front()) || is_blank(value.back()) ||
         value.find_first_of(u"\r\n") != StringView::npos;
}
