// The strict reading of a setup's language files.
#include "tools/setupkit/language_lint.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "package/language_keys.h"
#include "support/encoding.h"
#include "support/icon.h"
#include "support/ini_file_section.h"
#include "support/names.h"
#include "support/text_reader.h"
#include "tools/setupkit/folder_package.h"

const std::vector<TTranslatorHeaderKey> TranslatorHeaderKeys = {
    {u"Author", u"the translator; not read by the installer"},
    {u"VersionId", u"the translation's version; not read by the installer"},
    {u"ANSICP",
     u"a code page for the product's own language files; the installer does not read it, and "
     u"it does not change how a file without a byte order mark is decoded"},
};

namespace {

constexpr char16_t HeaderSection[] = u"File";
constexpr char16_t FinishSection[] = u"PageFinish";
constexpr char16_t EnglishFile[] = u"English.lng";

// The offset of the first byte that starts no valid UTF-8 sequence (overlong forms, surrogates
// and code points beyond U+10FFFF are invalid), or npos.
size_t FirstInvalidUtf8(std::string_view bytes) {
  const auto* b = reinterpret_cast<const uint8_t*>(bytes.data());
  const size_t size = bytes.size();
  size_t i = 0;
  while (i < size) {
    const uint8_t lead = b[i];
    if (lead < 0x80) {
      ++i;
      continue;
    }
    size_t length = 0;
    uint8_t low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      return i;
    }
    if (i + length > size) return i;
    for (size_t k = 1; k < length; ++k) {
      const uint8_t next = b[i + k];
      if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return i;
    }
    i += length;
  }
  return std::string_view::npos;
}

// The line (from 1) the byte at Offset is on; CR LF, CR and LF each end a line.
int LineOfByte(std::string_view bytes, size_t offset) {
  int line = 1;
  for (size_t i = 0; i < offset && i < bytes.size(); ++i) {
    if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n')))
      ++line;
  }
  return line;
}

// Every byte as the code point of its value: the keys and placeholders the lint looks at are
// ASCII, so the code page a file without a byte order mark is meant for does not matter here.
String BytesAsLatin1(std::string_view bytes) {
  String text;
  text.reserve(bytes.size());
  for (const char byte : bytes) text.push_back(static_cast<char16_t>(static_cast<uint8_t>(byte)));
  return text;
}

String Quoted(StringView text) {
  return u"\"" + String(text) + u"\"";
}

String Key(StringView section, StringView key) {
  return u"[" + String(section) + u"] " + String(key);
}

// The "%s" and "%d" the installer fills in, in order; "%%" is a percent sign.
struct TPlaceholders {
  String Written;
  size_t Count = 0;
  // "%" with a letter or digit that is not filled in ("%1", "%S"), shown as written.
  std::vector<String> Strays;
};

TPlaceholders PlaceholdersOf(StringView text) {
  TPlaceholders found;
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != u'%') continue;
    const char16_t next = text[i + 1];
    if (next == u'%') {
      ++i;
    } else if (next == u's' || next == u'd') {
      found.Written += (found.Count++ > 0 ? u" %" : u"%") + String(1, next);
      ++i;
    } else if ((next >= u'0' && next <= u'9') || (next >= u'a' && next <= u'z') ||
               (next >= u'A' && next <= u'Z')) {
      found.Strays.push_back(u"%" + String(1, next));
      ++i;
    }
  }
  return found;
}

struct TEntry {
  String Section;
  String Key;
  String Value;
  int Line;
};

struct THeader {
  String Name;
  int Line;
  bool Closed;
};

class TLanguageLinter;

// One language file as the installer's INI reading sees it, with the line of each text.
class TLanguageFile {
 public:
  TLanguageFile(StringView name, std::string_view bytes, TLanguageLinter& linter);

  const String& Name() const { return name_; }
  const std::vector<TEntry>& Entries() const { return entries_; }
  const std::vector<THeader>& Headers() const { return headers_; }

  // The first line of the key in the section, as the installer finds it; null when none.
  const TEntry* Find(StringView section, StringView key) const {
    for (const TEntry& entry : entries_) {
      if (SameName(entry.Section, section) && SameName(entry.Key, key)) return &entry;
    }
    return nullptr;
  }
  bool HasSection(StringView section) const {
    return std::any_of(headers_.begin(), headers_.end(),
                       [&](const THeader& header) { return SameName(header.Name, section); });
  }

 private:
  String Decode(std::string_view bytes);
  void Parse(StringView text);

  String name_;
  TLanguageLinter& linter_;
  std::vector<TEntry> entries_;
  std::vector<THeader> headers_;
};

class TLanguageLinter {
 public:
  explicit TLanguageLinter(const TLanguageLintInput& input) : input_(input) {
    for (const TLanguageKeyInfo& info : LanguageKeys) {
      if (std::none_of(sections_.begin(), sections_.end(),
                       [&](const String& known) { return known == info.Section; })) {
        sections_.emplace_back(info.Section);
      }
    }
    for (const String& key : input_.ActionCaptionKeys) {
      // An entry that names no key is the script lint's finding.
      if (key.empty()) continue;
      if (std::none_of(actions_.begin(), actions_.end(),
                       [&](const String& known) { return SameName(known, key); })) {
        actions_.push_back(key);
      }
    }
  }

  std::vector<TLintFinding> Run() {
    const TLanguageFile english(EnglishFile, input_.English, *this);
    CheckNames(english);
    CheckHeader(english, true);
    CheckEnglishIsComplete(english);
    CheckPlaceholders(english);
    for (const TLanguageFileBytes& bytes : input_.Translations) {
      const TLanguageFile translation(bytes.Name, bytes.Bytes, *this);
      CheckNames(translation);
      CheckHeader(translation, false);
      CheckFallbacks(english, translation);
      CheckPlaceholders(translation);
    }
    return std::move(findings_);
  }

  void Add(TLintSeverity severity, StringView file, int line, const String& message) {
    findings_.push_back({severity, String(file), line, message});
  }

 private:
  bool KnownSection(StringView section) const {
    return std::any_of(sections_.begin(), sections_.end(),
                       [&](const String& known) { return SameName(known, section); });
  }

  // The keys the installer reads in a section, with the header keys translators keep.
  std::vector<String> KnownKeys(StringView section) const {
    std::vector<String> keys;
    for (const TLanguageKeyInfo& info : LanguageKeys) {
      if (SameName(info.Section, section)) keys.emplace_back(info.Key);
    }
    if (SameName(section, HeaderSection)) {
      for (const TTranslatorHeaderKey& key : TranslatorHeaderKeys) keys.emplace_back(key.Name);
    }
    if (SameName(section, FinishSection)) keys.insert(keys.end(), actions_.begin(), actions_.end());
    return keys;
  }

  static bool Contains(const std::vector<String>& names, StringView name) {
    return std::any_of(names.begin(), names.end(),
                       [&](const String& known) { return SameName(known, name); });
  }

  // The table's entry for a key, or null for an Action's caption and an unknown key.
  static const TLanguageKeyInfo* Info(StringView section, StringView key) {
    for (const TLanguageKeyInfo& info : LanguageKeys) {
      if (SameName(info.Section, section) && SameName(info.Key, key)) return &info;
    }
    return nullptr;
  }

  void CheckNames(const TLanguageFile& file) {
    std::vector<String> reported;
    for (const THeader& header : file.Headers()) {
      if (!header.Closed || KnownSection(header.Name) || Contains(reported, header.Name)) continue;
      reported.push_back(header.Name);
      const String nearest = NearestName(header.Name, sections_);
      Add(TLintSeverity::Warning, file.Name(), header.Line,
          u"the installer reads no section [" + header.Name + u"]" +
              (nearest.empty() ? u"; remove it" : u"; did you mean [" + nearest + u"]?"));
    }
    for (const TEntry& entry : file.Entries()) {
      if (!KnownSection(entry.Section)) continue;
      const std::vector<String> known = KnownKeys(entry.Section);
      if (Contains(known, entry.Key)) continue;
      const String trimmed = Trim(entry.Key);
      if (trimmed != entry.Key && Contains(known, trimmed)) {
        Add(TLintSeverity::Warning, file.Name(), entry.Line,
            u"the key " + Quoted(entry.Key) +
                u" has blanks around it, and the installer reads keys exactly as written, so "
                u"it never finds this text; write " +
                Quoted(trimmed + u"="));
        continue;
      }
      const String nearest = NearestName(entry.Key, known);
      Add(TLintSeverity::Warning, file.Name(), entry.Line,
          u"the installer reads no key " + Quoted(entry.Key) + u" in [" + entry.Section + u"]" +
              (nearest.empty() ? u"; remove it" : u"; did you mean " + Quoted(nearest) + u"?"));
    }
  }

  void CheckHeader(const TLanguageFile& file, bool english) {
    const auto value = [&](StringView key) {
      const TEntry* entry = file.Find(HeaderSection, key);
      return entry == nullptr ? String() : Trim(entry->Value);
    };
    if (value(u"Name").empty()) {
      Add(english ? TLintSeverity::Error : TLintSeverity::Warning, file.Name(), 0,
          u"[File] Name is missing or empty, so the language dialog lists this language as a "
          u"blank entry; add the language's name in its own words, such as Name=English");
    }
    if (value(u"Family").empty()) {
      Add(TLintSeverity::Warning, file.Name(), 0,
          english ? String(u"[File] Family is missing or empty; the installer takes \"EN\" for "
                           u"it, so add Family=EN to say so")
                  : String(u"[File] Family is missing or empty, so this language takes "
                           u"English's family, and English's licence and files are installed "
                           u"for it; add its own, such as Family=DE"));
    }
    const TEntry* lang_id = file.Find(HeaderSection, u"LangId");
    int32_t number = 0;
    if (lang_id == nullptr) {
      Add(TLintSeverity::Warning, file.Name(), 0,
          u"[File] LangId is missing, so the language dialog never preselects this language "
          u"for users whose Windows speaks it; add the Windows language number, such as "
          u"LangId=1031 for German");
    } else if (!TryParseIniInteger(lang_id->Value, number)) {
      Add(TLintSeverity::Warning, file.Name(), lang_id->Line,
          u"[File] LangId " + Quoted(lang_id->Value) +
              u" is no number, so the language dialog never preselects this language; write "
              u"the Windows language number, such as 1031 for German");
    }
    if (const TEntry* icon = file.Find(HeaderSection, u"Icon");
        icon != nullptr && !IsIcon(icon->Value)) {
      Add(TLintSeverity::Warning, file.Name(), icon->Line,
          u"[File] Icon is no .ico file written as hexadecimal digits, so the language dialog "
          u"shows no flag beside this language; write the bytes of a 16 x 16 icon, two digits "
          u"each");
    }
  }

  static bool IsIcon(StringView text) {
    if (text.size() % 2 != 0) return false;
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < text.size(); i += 2) {
      int value = 0;
      for (const char16_t digit : text.substr(i, 2)) {
        value <<= 4;
        if (digit >= u'0' && digit <= u'9') {
          value |= digit - u'0';
        } else if (digit >= u'a' && digit <= u'f') {
          value |= digit - u'a' + 10;
        } else if (digit >= u'A' && digit <= u'F') {
          value |= digit - u'A' + 10;
        } else {
          return false;
        }
      }
      bytes.push_back(static_cast<uint8_t>(value));
    }
    return TVYNIcon::IsIconImage(bytes.data(), bytes.size());
  }

  void CheckEnglishIsComplete(const TLanguageFile& english) {
    for (const String& section : sections_) {
      if (section == HeaderSection) continue;
      if (!english.HasSection(section)) {
        String keys;
        bool empty_when_missing = false;
        for (const TLanguageKeyInfo& info : LanguageKeys) {
          if (info.Section != section) continue;
          keys += (keys.empty() ? u"" : u", ") + String(info.Key);
          empty_when_missing = empty_when_missing || info.EmptyWhenMissing;
        }
        Add(empty_when_missing ? TLintSeverity::Error : TLintSeverity::Warning, english.Name(), 0,
            u"section [" + section +
                u"] is missing, so every text of it shows empty; add it with " + keys);
        continue;
      }
      for (const TLanguageKeyInfo& info : LanguageKeys) {
        if (info.Section != section || english.Find(info.Section, info.Key) != nullptr) continue;
        Add(info.EmptyWhenMissing ? TLintSeverity::Error : TLintSeverity::Warning, english.Name(),
            0, Key(info.Section, info.Key) + u" is missing; it is " + info.Shows + u". Add it");
      }
    }
    for (const String& key : actions_) {
      if (english.Find(FinishSection, key) != nullptr) continue;
      Add(TLintSeverity::Error, english.Name(), 0,
          Key(FinishSection, key) +
              u" is missing; it captions the finish page's check box for a program that "
              u"Install.xml lists under <Actions>, which shows no caption without it. Add it");
    }
  }

  // What a translation lacks is taken from English when the language is loaded.
  void CheckFallbacks(const TLanguageFile& english, const TLanguageFile& translation) {
    std::vector<String> done;
    for (const THeader& header : english.Headers()) {
      const String& section = header.Name;
      if (SameName(section, HeaderSection) || !KnownSection(section) || Contains(done, section))
        continue;
      done.push_back(section);
      const std::vector<String> known = KnownKeys(section);
      std::vector<String> keys;
      for (const TEntry& entry : english.Entries()) {
        if (SameName(entry.Section, section) && Contains(known, entry.Key))
          keys.push_back(entry.Key);
      }
      if (keys.empty()) continue;
      if (!translation.HasSection(section)) {
        Add(TLintSeverity::Warning, translation.Name(), 0,
            u"section [" + section + u"] is missing; all of it falls back to English");
        continue;
      }
      for (const String& key : keys) {
        if (translation.Find(section, key) == nullptr) {
          Add(TLintSeverity::Warning, translation.Name(), 0,
              Key(section, key) + u" is missing; falls back to English");
        }
      }
    }
  }

  // Every text against what the installer fills into it: the table's placeholders, none for
  // the Actions' captions.
  void CheckPlaceholders(const TLanguageFile& file) {
    for (const TEntry& entry : file.Entries()) {
      if (SameName(entry.Section, HeaderSection) || !KnownSection(entry.Section)) continue;
      const TLanguageKeyInfo* info = Info(entry.Section, entry.Key);
      if (info == nullptr &&
          !(SameName(entry.Section, FinishSection) && Contains(actions_, entry.Key)))
        continue;
      const TPlaceholders wanted = PlaceholdersOf(info != nullptr ? info->Placeholders : u"");
      const TPlaceholders found = PlaceholdersOf(entry.Value);
      const String name = Key(entry.Section, entry.Key);
      if (found.Count != wanted.Count) {
        String message;
        if (wanted.Count == 0) {
          message = name + u" holds " + found.Written +
                    u", but the installer shows this text as it is, so that shows literally; "
                    u"remove it (write a percent sign as it is)";
        } else if (found.Count < wanted.Count) {
          message = name + u" holds " +
                    (found.Count == 0 ? String(u"no placeholder") : found.Written) +
                    u" where the installer fills in " + wanted.Written +
                    u", so the text loses what it leaves out; write them in, in that order";
        } else {
          message = name + u" holds " + found.Written + u" where the installer fills in only " +
                    wanted.Written + u", so the ones beyond show as nothing; remove them";
        }
        Add(TLintSeverity::Error, file.Name(), entry.Line, message);
      }
      if (wanted.Count == 0) continue;
      for (const String& stray : found.Strays) {
        Add(TLintSeverity::Warning, file.Name(), entry.Line,
            name + u" holds " + Quoted(stray) +
                u", which the installer does not fill in (only %s and %d are), so it shows as "
                u"written; write %% for a percent sign");
      }
    }
  }

  const TLanguageLintInput& input_;
  std::vector<String> sections_;
  std::vector<String> actions_;
  std::vector<TLintFinding> findings_;
};

TLanguageFile::TLanguageFile(StringView name, std::string_view bytes, TLanguageLinter& linter)
    : name_(name), linter_(linter) {
  Parse(Decode(bytes));
}

// As the installer decodes it: a byte order mark chooses UTF-8, UTF-16LE or UTF-16BE; without
// one the bytes are read in the code page of the user's Windows.
String TLanguageFile::Decode(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) {
    const std::string_view rest = bytes.substr(3);
    const size_t invalid = FirstInvalidUtf8(rest);
    if (invalid != std::string_view::npos) {
      linter_.Add(TLintSeverity::Error, name_, LineOfByte(bytes, 3 + invalid),
                  u"the byte order mark says UTF-8, but this line's bytes are not UTF-8, so the "
                  u"installer reads the whole file in the code page of the user's Windows and "
                  u"its letters show garbled; save it again as UTF-8 with a byte order mark");
    }
    return Utf8ToString(rest);
  }
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    const TEncoding& encoding =
        bytes[0] == '\xFF' ? TEncoding::Unicode() : TEncoding::BigEndianUnicode();
    const std::string_view rest = bytes.substr(2);
    return encoding.GetString(reinterpret_cast<const uint8_t*>(rest.data()), rest.size());
  }
  const size_t zero = bytes.find('\0');
  if (zero != std::string_view::npos) {
    linter_.Add(TLintSeverity::Error, name_, LineOfByte(bytes, zero),
                u"the file holds zero bytes but no byte order mark, as UTF-16 saved without one "
                u"does; the installer reads it in the code page of the user's Windows and finds "
                u"no text in it; save it as UTF-8 with a byte order mark");
    return String();
  }
  const auto beyond_ascii =
      std::find_if(bytes.begin(), bytes.end(), [](char byte) { return (byte & 0x80) != 0; });
  if (beyond_ascii == bytes.end()) return BytesAsLatin1(bytes);
  const int line = LineOfByte(bytes, static_cast<size_t>(beyond_ascii - bytes.begin()));
  if (FirstInvalidUtf8(bytes) == std::string_view::npos) {
    linter_.Add(TLintSeverity::Error, name_, line,
                u"the file is UTF-8 without a byte order mark, so the installer reads it in the "
                u"code page of the user's Windows and its letters beyond ASCII show garbled; "
                u"save it as UTF-8 with a byte order mark");
    return Utf8ToString(bytes);
  }
  linter_.Add(TLintSeverity::Warning, name_, line,
              u"the file has letters beyond ASCII and no byte order mark, so it reads right only "
              u"on Windows whose code page for non-Unicode programs is the one it was written in "
              u"(\"ANSICP\" does not change that); save it as UTF-8 with a byte order mark");
  return BytesAsLatin1(bytes);
}

void TLanguageFile::Parse(StringView text) {
  int line = 0;
  // Copied, not pointed at: the list of headers grows while the text is read.
  std::optional<String> section;
  ForEachLine(text, [&](StringView content) {
    ++line;
    if (content.empty()) return;
    if (content[0] == u'[') {
      // As the installer reads a header: whatever lies between the first and the last character.
      const String name(content.size() > 2 ? content.substr(1, content.size() - 2) : StringView());
      const bool closed = content.back() == u']' && content.size() >= 2;
      headers_.push_back({name, line, closed});
      section = name;
      if (!closed) {
        linter_.Add(TLintSeverity::Warning, name_, line,
                    u"the section header " + Quoted(content) +
                        u" does not end with \"]\", so the installer takes it for [" + name +
                        u"]; end it with \"]\"");
      }
      return;
    }
    const String trimmed = Trim(content);
    if (trimmed.empty() || trimmed[0] == u';') return;
    if (!section) {
      linter_.Add(TLintSeverity::Warning, name_, line,
                  u"this line comes before any section, so the installer ignores it; put it "
                  u"under its section, or start a comment with \";\"");
      return;
    }
    const size_t equals = content.find(u'=');
    if (equals == StringView::npos || equals == 0) {
      linter_.Add(TLintSeverity::Warning, name_, line,
                  u"this line has no key and \"=\", so it is no text and the installer ignores "
                  u"it; write key=text, or start a comment with \";\"");
      return;
    }
    const String key(content.substr(0, equals));
    if (const TEntry* first = Find(*section, key)) {
      linter_.Add(TLintSeverity::Warning, name_, line,
                  Key(*section, key) + u" is given again (first on line " +
                      FormatNumber(first->Line) +
                      u"); the installer reads only the first, so remove one");
      return;
    }
    entries_.push_back({*section, key, String(content.substr(equals + 1)), line});
  });
}

}  // namespace

std::vector<TLintFinding> LintLanguages(const TLanguageLintInput& input) {
  return TLanguageLinter(input).Run();
}

String LanguageReferenceTables() {
  String text;
  String section;
  const auto close_section = [&] {
    if (section == FinishSection) {
      text +=
          u"| the keys of `<Actions>` | the captions of the finish page's check boxes, one "
          u"per program Install.xml lists under `<Actions>` (the entry's text, such as "
          u"`cbRun`); without one the box has no caption | |\n";
    }
    if (section == HeaderSection) {
      for (const TTranslatorHeaderKey& key : TranslatorHeaderKeys) {
        text += u"| `" + String(key.Name) + u"` | " + key.Use + u" | |\n";
      }
    }
    if (!section.empty()) text += u"\n";
  };
  for (const TLanguageKeyInfo& info : LanguageKeys) {
    if (info.Section != section) {
      close_section();
      section = info.Section;
      text += u"### [" + section +
              u"]\n\n| Key | What shows it; when it is missing | Filled in |\n"
              u"|---|---|---|\n";
    }
    const String placeholders(info.Placeholders);
    text += u"| `" + String(info.Key) + u"` | " + info.Shows + u" | " +
            (placeholders.empty() ? String() : u"`" + placeholders + u"`") + u" |\n";
  }
  close_section();
  return text;
}
