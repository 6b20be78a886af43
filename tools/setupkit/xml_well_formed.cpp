// Whether a document is well-formed XML.
#include "tools/setupkit/xml_well_formed.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

// The document's characters, whole code points, so that a column counts what an editor shows.
std::u32string Characters(std::string_view bytes) {
  std::u32string characters;
  String units;
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (bytes.size() >= 2 &&
      ((byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == 0xFE && byte(1) == 0xFF))) {
    const bool little_endian = byte(0) == 0xFF;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
      units.push_back(static_cast<char16_t>(little_endian ? byte(i) | byte(i + 1) << 8
                                                          : byte(i) << 8 | byte(i + 1)));
    }
  } else {
    std::string_view text = bytes;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    units = Utf8ToString(text);
  }
  for (size_t i = 0; i < units.size(); ++i) {
    const char32_t unit = units[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      characters.push_back(0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else {
      characters.push_back(unit);
    }
  }
  return characters;
}

bool IsBlank(char32_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool IsNameStart(char32_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_' || c == u':' ||
         (c >= 0xC0 && c != 0xD7 && c != 0xF7 && c != 0xFFFD);
}

bool IsNameCharacter(char32_t c) {
  return IsNameStart(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.' || c == 0xB7;
}

String Text(const std::u32string& characters) {
  String text;
  for (const char32_t c : characters) {
    if (c >= 0x10000) {
      text.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      text.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      text.push_back(static_cast<char16_t>(c));
    }
  }
  return text;
}

// Reading stops at the first problem: it is thrown from where it is found.
struct Problem {
  size_t Position;
  String Message;
};

class Checker {
 public:
  explicit Checker(std::u32string characters) : text_(std::move(characters)) {
    line_starts_.push_back(0);
    for (size_t i = 0; i < text_.size(); ++i) {
      if (text_[i] == u'\n') line_starts_.push_back(i + 1);
    }
  }

  TXmlElement& Root() { return root_; }

  void CheckDocument() {
    if (Starts(U"<?xml") && text_.size() > 5 && (IsBlank(text_[5]) || text_[5] == u'?')) {
      Skip(U"<?", U"?>", u"the XML declaration");
    }
    SkipMiscellaneous(true);
    if (AtEnd()) Fail(u"the document has no root element; expected <Install>");
    if (text_[position_] != u'<') Fail(u"text outside the root element; expected \"<\"");
    Element();
    SkipMiscellaneous(false);
    if (Starts(U"</")) Fail(u"a closing tag after the root element, which closes nothing");
    if (!AtEnd()) {
      Fail(text_[position_] == u'<' ? u"a second root element; everything belongs inside the first"
                                    : u"text after the root element");
    }
  }

  TXmlProblem Where(const Problem& problem) const {
    TXmlProblem found{0, 0, problem.Message};
    Locate(problem.Position, found.Line, found.Column);
    return found;
  }

 private:
  // Line and column of a position, from the line starts found once: a large document with many
  // elements costs a search per element, not a count from the start.
  void Locate(size_t position, int& line, int& column) const {
    const auto after = std::upper_bound(line_starts_.begin(), line_starts_.end(), position);
    const size_t start = *(after - 1);
    line = static_cast<int>(after - line_starts_.begin());
    column = 1;
    for (size_t i = start; i < position && i < text_.size(); ++i) {
      if (text_[i] != u'\r') ++column;
    }
  }

  [[noreturn]] void Fail(StringView message) const { FailAt(position_, message); }
  [[noreturn]] void FailAt(size_t position, StringView message) const {
    throw Problem{position, String(message)};
  }

  bool AtEnd() const { return position_ >= text_.size(); }
  bool Starts(std::u32string_view prefix) const {
    return std::u32string_view(text_).substr(position_).starts_with(prefix);
  }
  void SkipBlanks() {
    while (!AtEnd() && IsBlank(text_[position_])) ++position_;
  }

  // From an opening to its closing text; what lies between is not looked into.
  void Skip(std::u32string_view opening, std::u32string_view closing, StringView what) {
    const size_t start = position_;
    const size_t end = text_.find(closing, position_ + opening.size());
    if (end == std::u32string::npos) {
      FailAt(start,
             String(what) + u" is not closed; expected \"" + Text(std::u32string(closing)) + u"\"");
    }
    position_ = end + closing.size();
  }

  void Comment() {
    const size_t start = position_;
    const size_t end = text_.find(U"--", position_ + 4);
    if (end == std::u32string::npos) FailAt(start, u"the comment is not closed; expected \"-->\"");
    if (end + 2 >= text_.size() || text_[end + 2] != u'>') {
      FailAt(end, u"\"--\" inside a comment; a comment ends at the first \"--\", with \"-->\"");
    }
    position_ = end + 3;
  }

  // Comments, processing instructions, blanks and, before the root, a document type.
  void SkipMiscellaneous(bool before_root) {
    for (;;) {
      SkipBlanks();
      if (Starts(U"<!--")) {
        Comment();
      } else if (Starts(U"<?")) {
        if (Starts(U"<?xml") && position_ + 5 < text_.size() &&
            (IsBlank(text_[position_ + 5]) || text_[position_ + 5] == u'?')) {
          Fail(u"the XML declaration must come first in the file, before anything else");
        }
        Skip(U"<?", U"?>", u"the processing instruction");
      } else if (before_root && Starts(U"<!DOCTYPE")) {
        DocumentType();
      } else {
        return;
      }
    }
  }

  void DocumentType() {
    const size_t start = position_;
    int depth = 0;
    for (; !AtEnd(); ++position_) {
      if (text_[position_] == u'[') ++depth;
      if (text_[position_] == u']') --depth;
      if (text_[position_] == u'>' && depth <= 0) {
        ++position_;
        return;
      }
    }
    FailAt(start, u"the document type is not closed; expected \">\"");
  }

  String Name(StringView what) {
    const size_t start = position_;
    if (AtEnd() || !IsNameStart(text_[position_])) {
      Fail(u"expected " + String(what) + u" (a letter, \"_\" or \":\" first)");
    }
    while (!AtEnd() && IsNameCharacter(text_[position_])) ++position_;
    return Text(text_.substr(start, position_ - start));
  }

  // After "&": a known entity or a character number, then ";". Returns what it stands for.
  String Reference() {
    const size_t start = position_;
    ++position_;
    if (Starts(U"#")) {
      ++position_;
      const bool hexadecimal = Starts(U"x");
      if (hexadecimal) ++position_;
      uint64_t value = 0;
      const size_t digits_start = position_;
      for (; !AtEnd() && text_[position_] != u';'; ++position_) {
        const char32_t c = text_[position_];
        int digit = -1;
        if (c >= u'0' && c <= u'9') digit = static_cast<int>(c - u'0');
        if (hexadecimal && c >= u'a' && c <= u'f') digit = static_cast<int>(c - u'a' + 10);
        if (hexadecimal && c >= u'A' && c <= u'F') digit = static_cast<int>(c - u'A' + 10);
        if (digit < 0) FailAt(start, u"a character reference holds only digits; expected \";\"");
        value = value * (hexadecimal ? 16 : 10) + static_cast<uint64_t>(digit);
        if (value > 0x10FFFF) FailAt(start, u"the character reference names no character");
      }
      if (AtEnd()) FailAt(start, u"the reference is not closed; expected \";\"");
      if (position_ == digits_start || value == 0 || (value >= 0xD800 && value <= 0xDFFF)) {
        FailAt(start, u"the character reference names no character");
      }
      ++position_;
      return Text(std::u32string(1, static_cast<char32_t>(value)));
    }
    const String name = Name(u"an entity name after \"&\" (write \"&amp;\" for \"&\")");
    if (AtEnd() || text_[position_] != u';') {
      FailAt(start, u"the reference \"&" + name + u"\" is not closed; expected \";\"");
    }
    ++position_;
    constexpr std::pair<StringView, StringView> Known[] = {
        {u"amp", u"&"}, {u"lt", u"<"}, {u"gt", u">"}, {u"quot", u"\""}, {u"apos", u"'"}};
    for (const auto& [known, meaning] : Known) {
      if (name == known) return String(meaning);
    }
    FailAt(start, u"unknown entity \"&" + name +
                      u";\"; only &amp; &lt; &gt; &quot; &apos; and character numbers are known");
  }

  void Attributes(TXmlElement& element) {
    for (;;) {
      const size_t before_blanks = position_;
      SkipBlanks();
      if (AtEnd()) return;
      if (text_[position_] == u'>' || Starts(U"/>")) return;
      if (position_ == before_blanks) {
        Fail(u"expected a blank, \">\" or \"/>\" after the name or attribute of <" + element.Name +
             u">");
      }
      const size_t name_start = position_;
      const String name = Name(u"an attribute name, \">\" or \"/>\" in <" + element.Name + u">");
      for (const TXmlAttribute& other : element.Attributes) {
        if (other.Name == name) {
          FailAt(name_start, u"the attribute \"" + name + u"\" is given twice");
        }
      }
      TXmlAttribute& attribute = element.Attributes.emplace_back();
      attribute.Name = name;
      Locate(name_start, attribute.Line, attribute.Column);
      SkipBlanks();
      if (AtEnd() || text_[position_] != u'=') {
        Fail(u"expected \"=\" after the attribute \"" + name + u"\"");
      }
      ++position_;
      SkipBlanks();
      if (AtEnd() || (text_[position_] != u'"' && text_[position_] != u'\'')) {
        Fail(u"the value of \"" + name + u"\" must be in quotes");
      }
      const char32_t quote = text_[position_++];
      const size_t value_start = position_;
      while (!AtEnd() && text_[position_] != quote) {
        if (text_[position_] == u'<') Fail(u"\"<\" inside an attribute value; write \"&lt;\"");
        if (text_[position_] == u'&') {
          attribute.Value += Reference();
        } else {
          attribute.Value += Text(std::u32string(1, text_[position_++]));
        }
      }
      if (AtEnd()) FailAt(value_start - 1, u"the value of \"" + name + u"\" is not closed");
      ++position_;
    }
  }

  // An element and everything in it, from its "<", into Root.
  void Element() {
    // The elements not yet closed, innermost last, each with where its tag starts.
    std::vector<std::pair<TXmlElement*, size_t>> open;
    // Only a start tag begins the root: a CDATA section, an end tag or a declaration is no
    // element and would leave everything after it without one to belong to.
    if (Starts(U"</") || Starts(U"<!") || Starts(U"<?")) {
      Fail(u"expected the root element's start tag, such as <Install>");
    }
    do {
      TXmlElement* current = open.empty() ? nullptr : open.back().first;
      if (Starts(U"</")) {
        const size_t start = position_;
        position_ += 2;
        const String name = Name(u"the name of the element to close after \"</\"");
        if (current == nullptr) FailAt(start, u"</" + name + u"> closes nothing");
        if (name != current->Name) {
          FailAt(start, u"</" + name + u"> closes <" + current->Name + u"> (opened at line " +
                            Utf8ToString(std::to_string(current->Line)) + u", column " +
                            Utf8ToString(std::to_string(current->Column)) + u"); expected </" +
                            current->Name + u">");
        }
        SkipBlanks();
        if (AtEnd() || text_[position_] != u'>') Fail(u"expected \">\" to end </" + name + u">");
        ++position_;
        open.pop_back();
      } else if (Starts(U"<!--")) {
        Comment();
      } else if (Starts(U"<![CDATA[")) {
        const size_t content = position_ + 9;
        Skip(U"<![CDATA[", U"]]>", u"the CDATA section");
        current->Text += Text(text_.substr(content, position_ - 3 - content));
      } else if (Starts(U"<?")) {
        Skip(U"<?", U"?>", u"the processing instruction");
      } else if (Starts(U"<")) {
        const size_t start = position_;
        ++position_;
        TXmlElement& element = current == nullptr ? root_ : current->Children.emplace_back();
        element.Name = Name(u"an element name after \"<\" (write \"&lt;\" for \"<\")");
        Locate(start, element.Line, element.Column);
        Attributes(element);
        if (AtEnd()) FailAt(start, u"the tag <" + element.Name + u" is not closed; expected \">\"");
        if (Starts(U"/>")) {
          position_ += 2;
        } else {
          ++position_;
          open.emplace_back(&element, start);
        }
      } else if (text_[position_] == u'&') {
        current->Text += Reference();
      } else if (Starts(U"]]>")) {
        Fail(u"\"]]>\" in text; write \"]]&gt;\"");
      } else {
        current->Text += Text(std::u32string(1, text_[position_++]));
      }
      if (AtEnd() && !open.empty()) {
        const TXmlElement& unclosed = *open.back().first;
        FailAt(open.back().second, u"the file ends before <" + unclosed.Name +
                                       u"> is closed; expected </" + unclosed.Name + u">");
      }
    } while (!open.empty());
  }

  std::u32string text_;
  std::vector<size_t> line_starts_;
  size_t position_ = 0;
  TXmlElement root_;
};

}  // namespace

std::optional<TXmlProblem> ReadWellFormedXml(std::string_view bytes, TXmlElement& root) {
  Checker checker(Characters(bytes));
  try {
    checker.CheckDocument();
  } catch (const Problem& problem) {
    return checker.Where(problem);
  }
  root = std::move(checker.Root());
  return std::nullopt;
}

std::optional<TXmlProblem> FindXmlWellFormednessProblem(std::string_view bytes) {
  TXmlElement root;
  return ReadWellFormedXml(bytes, root);
}
