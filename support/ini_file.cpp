// TVYNIniFile.
#include "support/ini_file.h"

#include <string>

#include "platform/file.h"
#include "platform/file_attributes.h"
#include "support/memory_stream.h"
#include "support/names.h"
#include "support/text_reader.h"

namespace {

String ToText(int32_t value) {
  return Utf8ToString(std::to_string(value));
}

// Digits of ReadRect: ASCII or full-width, as input methods of East Asian languages type them.
int DigitValue(char16_t unit) {
  if (unit >= u'0' && unit <= u'9') return unit - u'0';
  if (unit >= u'\uFF10' && unit <= u'\uFF19') return unit - u'\uFF10';
  return -1;
}

bool TryParseRectPart(StringView part, int32_t& value) {
  const bool negative = !part.empty() && part[0] == u'-';
  if (negative) part.remove_prefix(1);
  if (part.empty()) return false;
  const int64_t limit = negative ? 0x80000000LL : 0x7FFFFFFFLL;
  int64_t magnitude = 0;
  for (const char16_t unit : part) {
    const int digit = DigitValue(unit);
    if (digit < 0) return false;
    magnitude = magnitude * 10 + digit;
    if (magnitude > limit) return false;
  }
  value = static_cast<int32_t>(negative ? -magnitude : magnitude);
  return true;
}

int HexValue(char16_t unit) {
  if (unit >= u'0' && unit <= u'9') return unit - u'0';
  if (unit >= u'a' && unit <= u'f') return unit - u'a' + 10;
  if (unit >= u'A' && unit <= u'F') return unit - u'A' + 10;
  return -1;
}

// The whole file, read with every kind of sharing so that a file another program holds open can
// still be read. False when it cannot be opened or read.
bool ReadWholeFile(StringView file_name, std::vector<uint8_t>& bytes) {
  platform::File file = platform::File::Open(
      file_name, platform::FileAccess::Read,
      platform::FileShareRead | platform::FileShareWrite | platform::FileShareDelete,
      platform::FileCreation::OpenExisting);
  if (!file.IsOpen()) return false;
  int64_t size = 0;
  if (file.GetSize(size) && size > 0) bytes.reserve(static_cast<size_t>(size));
  uint8_t block[64 * 1024];
  for (;;) {
    size_t done = 0;
    if (!file.Read(block, sizeof block, done)) return false;
    if (done == 0) return true;
    bytes.insert(bytes.end(), block, block + done);
  }
}

}  // namespace

TVYNIniFile::TVYNIniFile() : encoding_(&TEncoding::Unicode()) {}

TVYNIniFile::TVYNIniFile(StringView file_name, bool auto_save)
    : auto_save_(auto_save), encoding_(&TEncoding::Unicode()) {
  if (!file_name.empty()) LoadFromFile(file_name);
}

TVYNIniFile::~TVYNIniFile() {
  if (!auto_save_ || !modified_) return;
  // A destructor cannot report a failed save; the object is going away either way.
  try {
    UpdateFile();
  } catch (...) {
  }
}

void TVYNIniFile::Changed() {
  modified_ = true;
  if (update_count_ == 0 && OnChange) OnChange();
}

bool TVYNIniFile::ValueExists(StringView section, StringView key) const {
  const TVYNIniFileSection* found = FindSection(section);
  return found != nullptr && found->IndexOfKey(key) >= 0;
}

bool TVYNIniFile::SectionExists(StringView section) const {
  return FindSection(section) != nullptr;
}

bool TVYNIniFile::IsEmpty() const {
  return sections_.empty();
}

int32_t TVYNIniFile::ReadInteger(StringView section, StringView key, int32_t default_value) const {
  String text;
  int32_t value;
  if (ReadValue(section, key, text) && TryParseIniInteger(text, value)) return value;
  return default_value;
}

bool TVYNIniFile::ReadValue(StringView section, StringView key, String& value) const {
  const TVYNIniFileSection* found = FindSection(section);
  return found != nullptr && found->ReadValue(key, value);
}

void TVYNIniFile::WriteString(StringView section, StringView key, StringView value) {
  BeginUpdate();
  try {
    FindOrAddSection(section).WriteValue(key, value);
  } catch (...) {
    AbandonUpdate();
    throw;
  }
  EndUpdate();
}

void TVYNIniFile::LoadFromFile(StringView file_name) {
  BeginUpdate();
  try {
    Clear();
    file_name_ = String(file_name);
    std::vector<uint8_t> bytes;
    if (ReadWholeFile(file_name, bytes)) {
      TMemoryViewStream stream(bytes.data(), static_cast<int64_t>(bytes.size()));
      LoadFromStream(stream);
    }
  } catch (...) {
    AbandonUpdate();
    throw;
  }
  EndUpdate();
  modified_ = false;
}

void TVYNIniFile::LoadFromStream(TStream& stream) {
  BeginUpdate();
  try {
    Clear();
    const TEncoding* found = nullptr;
    const String text = ReadStreamText(stream, nullptr, &found);
    if (found != nullptr) encoding_ = found;
    ParseText(text);
  } catch (...) {
    AbandonUpdate();
    throw;
  }
  EndUpdate();
}

void TVYNIniFile::LoadFromString(StringView text) {
  BeginUpdate();
  try {
    Clear();
    ParseText(text);
  } catch (...) {
    AbandonUpdate();
    throw;
  }
  EndUpdate();
}

void TVYNIniFile::ParseText(StringView text) {
  TVYNIniFileSection* current = nullptr;
  ForEachLine(text, [&](StringView line) {
    if (line.empty()) return;
    if (line[0] == u'[') {
      // The name is whatever lies between the first and the last character, whatever the last
      // one is: "[Name]" and "[Name;" both name "Name".
      current = &FindOrAddSection(line.size() > 2 ? line.substr(1, line.size() - 2) : StringView());
    } else if (current != nullptr) {
      current->Add(line);
    }
  });
}

void TVYNIniFile::SaveToStream(TStream& stream, const TEncoding* encoding) const {
  const TEncoding& target = encoding != nullptr ? *encoding : TEncoding::Unicode();
  size_t length = 0;
  for (const auto& section : sections_) {
    if (section->Count() == 0) continue;
    length += section->Name().size() + 6;
    for (int i = 0; i < section->Count(); ++i) length += section->Items(i).size() + 2;
  }
  String text;
  text.reserve(length);
  for (const auto& section : sections_) {
    if (section->Count() == 0) continue;
    text += u'[';
    text += section->Name();
    text += u"]\r\n";
    for (int i = 0; i < section->Count(); ++i) {
      text += section->Items(i);
      text += u"\r\n";
    }
    text += u"\r\n";
  }
  const std::vector<uint8_t> preamble = target.GetPreamble();
  stream.WriteBuffer(preamble.data(), static_cast<int64_t>(preamble.size()));
  const std::vector<uint8_t> bytes = target.GetBytes(text);
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

bool TVYNIniFile::UpdateFile() {
  if (file_name_.empty()) return false;
  if (!modified_) return true;
  const bool saved = SaveToFile(file_name_, encoding_);
  if (saved) modified_ = false;
  return saved;
}

String TVYNIniFile::ReadString(StringView section, StringView key, StringView default_value) const {
  String value;
  if (ReadValue(section, key, value)) return value;
  return String(default_value);
}

bool TVYNIniFile::ReadBool(StringView section, StringView key, bool default_value) const {
  return ReadInteger(section, key, default_value ? 1 : 0) != 0;
}

TRect TVYNIniFile::ReadRect(StringView section, StringView key, const TRect& default_value) const {
  String text;
  if (!ReadValue(section, key, text)) return default_value;
  int32_t parts[4] = {};
  StringView rest = text;
  for (int32_t& part : parts) {
    const size_t comma = rest.find(u',');
    if (!TryParseRectPart(rest.substr(0, comma), part)) break;
    if (comma == StringView::npos) break;
    rest.remove_prefix(comma + 1);
  }
  return TRect{parts[0], parts[1], parts[2], parts[3]};
}

bool TVYNIniFile::ReadStream(StringView section, StringView key, TStream& stream) const {
  String text;
  if (!ReadValue(section, key, text) || text.size() % 2 != 0) return false;
  std::vector<uint8_t> bytes;
  bytes.reserve(text.size() / 2);
  size_t valid = 0;
  for (; valid < text.size(); valid += 2) {
    const int high = HexValue(text[valid]);
    const int low = HexValue(text[valid + 1]);
    if (high < 0 || low < 0) break;
    bytes.push_back(static_cast<uint8_t>(high << 4 | low));
  }
  const int64_t start = stream.Position();
  if (valid < text.size()) {
    // What lay beyond the position would have been overwritten by the bytes before the fault.
    stream.SetSize(start);
    return false;
  }
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
  return true;
}

void TVYNIniFile::WriteInteger(StringView section, StringView key, int32_t value) {
  WriteString(section, key, ToText(value));
}

void TVYNIniFile::WriteBool(StringView section, StringView key, bool value) {
  WriteString(section, key, value ? u"1" : u"0");
}

void TVYNIniFile::WriteRect(StringView section, StringView key, const TRect& value) {
  WriteString(section, key,
              ToText(value.Left) + u',' + ToText(value.Top) + u',' + ToText(value.Right) + u',' +
                  ToText(value.Bottom));
}

void TVYNIniFile::WriteStream(StringView section, StringView key, TStream& stream) {
  const int64_t size = stream.Size();
  if (size <= 0) {
    DeleteKey(section, key);
    return;
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  stream.SetPosition(0);
  stream.ReadBuffer(bytes.data(), size);
  static constexpr char16_t Digits[] = u"0123456789ABCDEF";
  String text;
  text.reserve(bytes.size() * 2);
  for (const uint8_t byte : bytes) {
    text += Digits[byte >> 4];
    text += Digits[byte & 0x0F];
  }
  WriteString(section, key, text);
}

void TVYNIniFile::WriteStringOrDelete(StringView section, StringView key, StringView value,
                                      StringView default_value) {
  if (value == default_value) {
    DeleteKey(section, key);
  } else {
    WriteString(section, key, value);
  }
}

bool TVYNIniFile::DeleteKey(StringView section, StringView key) {
  TVYNIniFileSection* found = FindSection(section);
  if (found == nullptr) return false;
  const int index = found->IndexOfKey(key);
  if (index < 0) return false;
  found->Delete(index);
  return true;
}

bool TVYNIniFile::EraseSection(StringView section) {
  TVYNIniFileSection* found = FindSection(section);
  if (found == nullptr) return false;
  RemoveFromIndex(*found);
  if (last_found_ == found) last_found_ = nullptr;
  for (auto it = sections_.begin(); it != sections_.end(); ++it) {
    if (it->get() == found) {
      sections_.erase(it);
      break;
    }
  }
  Changed();
  return true;
}

void TVYNIniFile::ReadKeys(StringView section, TVYNStringList& list) const {
  if (const TVYNIniFileSection* found = FindSection(section)) found->ReadKeys(list);
}

String TVYNIniFile::ReadSectionText(StringView section) const {
  const TVYNIniFileSection* found = FindSection(section);
  return found == nullptr ? String() : found->GetText();
}

void TVYNIniFile::WriteSectionText(StringView section, StringView text) {
  BeginUpdate();
  try {
    FindOrAddSection(section).SetText(text);
  } catch (...) {
    AbandonUpdate();
    throw;
  }
  EndUpdate();
}

void TVYNIniFile::Merge(const TVYNIniFile& source, bool overwrite) {
  BeginUpdate();
  try {
    for (int s = 0; s < source.SectionCount(); ++s) {
      const String name = source.Section(s).Name();
      if (!SectionExists(name)) {
        WriteSectionText(name, source.ReadSectionText(name));
        continue;
      }
      TVYNStringList keys;
      source.ReadKeys(name, keys);
      for (int k = 0; k < keys.Count(); ++k) {
        const String key = keys.Items(k);
        if (!overwrite && ValueExists(name, key)) continue;
        WriteString(name, key, source.ReadString(name, key, u""));
      }
    }
  } catch (...) {
    AbandonUpdate();
    throw;
  }
  EndUpdate();
}

void TVYNIniFile::MergeFromFile(StringView file_name, bool overwrite) {
  const TVYNIniFile source(file_name);
  Merge(source, overwrite);
}

String TVYNIniFile::SectionName(int index) const {
  if (index < 0 || index >= SectionCount()) return String();
  return sections_[static_cast<size_t>(index)]->Name();
}

TVYNIniFileSection* TVYNIniFile::FindSection(StringView name) {
  return Find(name);
}

const TVYNIniFileSection* TVYNIniFile::FindSection(StringView name) const {
  return Find(name);
}

TVYNIniFileSection* TVYNIniFile::Find(StringView name) const {
  const uint32_t hash = IniNameHash(name);
  if (last_found_ != nullptr && last_found_->NameHash() == hash &&
      SameName(last_found_->Name(), name)) {
    return last_found_;
  }
  // Of names that compare equal, the earliest section wins, as a scan in order would find it.
  TVYNIniFileSection* found = nullptr;
  const auto [first, last] = section_index_.equal_range(hash);
  for (auto it = first; it != last; ++it) {
    TVYNIniFileSection* candidate = it->second;
    if ((found == nullptr || candidate->order_ < found->order_) &&
        SameName(candidate->Name(), name)) {
      found = candidate;
    }
  }
  if (found != nullptr) last_found_ = found;
  return found;
}

TVYNIniFileSection& TVYNIniFile::FindOrAddSection(StringView name) {
  if (TVYNIniFileSection* found = Find(name)) return *found;
  auto section = std::make_unique<TVYNIniFileSection>(this, name);
  section->order_ = next_order_++;
  TVYNIniFileSection& added = *section;
  sections_.push_back(std::move(section));
  section_index_.emplace(added.NameHash(), &added);
  last_found_ = &added;
  Changed();
  return added;
}

void TVYNIniFile::RemoveFromIndex(const TVYNIniFileSection& section) {
  const auto [first, last] = section_index_.equal_range(section.NameHash());
  for (auto it = first; it != last; ++it) {
    if (it->second == &section) {
      section_index_.erase(it);
      return;
    }
  }
}

void TVYNIniFile::Clear() {
  sections_.clear();
  section_index_.clear();
  last_found_ = nullptr;
  Changed();
}

void TVYNIniFile::Assign(const TVYNIniFile& source) {
  TMemoryStream image;
  source.SaveToStream(image, &TEncoding::Unicode());
  image.SetPosition(0);
  // The plain loader: a copy is not a new language or settings file being opened.
  TVYNIniFile::LoadFromStream(image);
}

bool TVYNIniFile::Equals(const TVYNIniFile& other) const {
  TMemoryStream mine;
  TMemoryStream theirs;
  SaveToStream(mine, &TEncoding::Unicode());
  other.SaveToStream(theirs, &TEncoding::Unicode());
  return mine.Bytes() == theirs.Bytes();
}

bool TVYNIniFile::SaveToFile(StringView file_name, const TEncoding* encoding) const {
  // Windows refuses to replace a read-only or hidden file.
  const uint32_t attributes = platform::GetFileAttributeFlags(file_name);
  if (attributes != platform::InvalidFileAttributes &&
      !(attributes & platform::FileAttributeDirectory)) {
    // Should this fail, the open below fails too and reports it.
    static_cast<void>(platform::SetFileAttributeFlags(file_name, platform::FileAttributeNormal));
  }
  platform::File file = platform::File::Open(file_name, platform::FileAccess::Write,
                                             platform::FileShareRead | platform::FileShareWrite,
                                             platform::FileCreation::CreateAlways);
  if (!file.IsOpen()) return false;
  TMemoryStream image;
  SaveToStream(image, encoding);
  size_t written = 0;
  if (!file.Write(image.Memory(), image.Bytes().size(), written) ||
      written != image.Bytes().size()) {
    throw EWriteError();
  }
  return true;
}

void TVYNIniFile::BeginUpdate() {
  ++update_count_;
}

void TVYNIniFile::EndUpdate() {
  if (update_count_ == 0) return;
  if (--update_count_ == 0) Changed();
}

void TVYNIniFile::AbandonUpdate() {
  if (update_count_ > 0) --update_count_;
}
