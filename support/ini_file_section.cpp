// TVYNIniFileSection, and the name hash and integer syntax of INI files.
#include "support/ini_file_section.h"

#include <algorithm>

#include "platform/locale.h"
#include "support/ini_file.h"
#include "support/names.h"

namespace {

constexpr size_t HashedLength = 64;

}  // namespace

uint32_t IniNameHash(StringView name) {
  name = name.substr(0, std::min(name.size(), HashedLength));
  // Most names are ASCII and are upper-cased here; others go to the platform's casing rules.
  bool ascii = true;
  for (const char16_t unit : name) ascii = ascii && unit < 0x80;
  const String upper = ascii ? String() : platform::UpperCase(name);
  uint32_t hash = 0;
  for (size_t i = 0; i < name.size(); ++i) {
    char16_t unit = ascii ? name[i] : upper[i];
    if (ascii && unit >= u'a' && unit <= u'z') unit = static_cast<char16_t>(unit - 32);
    hash = (hash << 4) + unit;
    const uint32_t high = hash & 0xF0000000u;
    hash ^= high >> 24;
    hash &= ~high;
  }
  return hash;
}

bool TryParseIniInteger(StringView text, int32_t& value) {
  size_t i = 0;
  while (i < text.size() && text[i] == u' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  unsigned base = 10;
  if (i < text.size() && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == u'0' &&
             (text[i + 1] == u'x' || text[i + 1] == u'X')) {
    base = 16;
    i += 2;
  }
  if (i == text.size()) return false;
  const uint64_t limit = negative ? 0x80000000u : 0x7FFFFFFFu;
  uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const char16_t unit = text[i];
    unsigned digit;
    if (unit >= u'0' && unit <= u'9') {
      digit = unit - u'0';
    } else if (base == 16 && unit >= u'a' && unit <= u'f') {
      digit = unit - u'a' + 10;
    } else if (base == 16 && unit >= u'A' && unit <= u'F') {
      digit = unit - u'A' + 10;
    } else {
      return false;
    }
    magnitude = magnitude * base + digit;
    if (magnitude > limit) return false;
  }
  value = static_cast<int32_t>(negative ? -static_cast<int64_t>(magnitude)
                                        : static_cast<int64_t>(magnitude));
  return true;
}

TVYNIniFileSection::TVYNIniFileSection(TVYNIniFile* owner, StringView name)
    : owner_(owner), name_(name) {}

uint32_t TVYNIniFileSection::NameHash() const {
  if (name_hash_ == 0) name_hash_ = IniNameHash(name_);
  return name_hash_;
}

void TVYNIniFileSection::Changed() {
  if (owner_ != nullptr) owner_->Changed();
}

int32_t TVYNIniFileSection::ReadInteger(StringView key, int32_t default_value) const {
  String text;
  int32_t value;
  if (ReadValue(key, text) && TryParseIniInteger(text, value)) return value;
  return default_value;
}

bool TVYNIniFileSection::ReadValue(StringView key, String& value) const {
  const int index = IndexOfKey(key);
  if (index < 0) return false;
  value = ValueFromIndex(index);
  return true;
}

void TVYNIniFileSection::WriteValue(StringView key, StringView value) {
  const String line = String(key) + NameValueSeparator() + String(value);
  const int index = IndexOfKey(key);
  if (index >= 0) {
    Put(index, line);
  } else {
    Add(line);
  }
}

int TVYNIniFileSection::IndexOfKey(StringView key) const {
  const uint32_t hash = IniNameHash(key);
  const char16_t separator = NameValueSeparator();
  for (int i = 0; i < Count(); ++i) {
    const TItem& item = Item(i);
    if (item.NameHash != 0 && item.NameHash != hash) continue;
    const StringView text = item.Text;
    const size_t end = text.find(separator);
    const StringView name = end == StringView::npos ? StringView() : text.substr(0, end);
    if (item.NameHash == 0) {
      item.NameHash = IniNameHash(name);
      if (item.NameHash != hash) continue;
    }
    if (SameName(name, key)) return i;
  }
  return -1;
}

void TVYNIniFileSection::ReadKeys(TVYNStringList& list) const {
  for (int i = 0; i < Count(); ++i) {
    String name = Names(i);
    if (!name.empty()) list.Add(name);
  }
}
