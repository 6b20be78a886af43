// TVYNIniFileSection: one section of an INI file, its lines kept as they were read.
#pragma once

#include <cstdint>

#include "platform/text.h"
#include "support/string_list.h"

class TVYNIniFile;

// The hash that section names and keys are compared by before their text: the classic ELF hash
// over the upper-cased name, of which at most the first 64 characters count. Names that compare
// equal ignoring case have equal hashes. 0 doubles as "not computed yet" in the caches.
uint32_t IniNameHash(StringView name);

// Parses an INI integer: leading spaces, an optional sign, then decimal digits, or hexadecimal
// digits after "$", "x", "X", "0x" or "0X". False for anything else, and for a value outside
// the signed 32-bit range.
bool TryParseIniInteger(StringView text, int32_t& value);

// The lines of one section, each exactly as read ("key=value", comments, anything else). Keys are
// compared ignoring case, and of several lines with one key the first one counts. Every change
// is reported to the file that owns the section.
class TVYNIniFileSection : public TVYNStringList {
 public:
  TVYNIniFileSection(TVYNIniFile* owner, StringView name);

  const String& Name() const { return name_; }
  uint32_t NameHash() const;

  void Changed() override;

  virtual int32_t ReadInteger(StringView key, int32_t default_value) const;
  // Whether a line with Key exists; Value is the text after its first "=".
  virtual bool ReadValue(StringView key, String& value) const;
  // Replaces the first line with Key by "Key=Value", Key in the letter case given here, or
  // appends such a line.
  virtual void WriteValue(StringView key, StringView value);

  // The first line whose name is Key, or -1.
  int IndexOfKey(StringView key) const;
  // Appends to List, in line order, every name that is not empty.
  void ReadKeys(TVYNStringList& list) const;

 private:
  friend class TVYNIniFile;

  TVYNIniFile* owner_;
  String name_;
  mutable uint32_t name_hash_ = 0;
  // Creation order within the file, which a lookup by hash needs to find the earliest match.
  uint64_t order_ = 0;
};
