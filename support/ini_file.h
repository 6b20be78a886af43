// TVYNIniFile: INI text as sections of lines kept verbatim, the settings and text-table store.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/text.h"
#include "support/encoding.h"
#include "support/ini_file_section.h"
#include "support/rect.h"
#include "support/stream.h"
#include "support/string_list.h"

// Loading and saving change nothing but line ends, blank lines, the spacing of sections and the
// encoding: every other line is kept as it was. Section names and keys compare ignoring case
// (equal length, locale-aware); two headers of one name lead into one section, and of several
// lines with one key the first one is read and written. Keys and values are never trimmed,
// unquoted or unescaped.
//
// Nothing here raises on malformed text, and files that cannot be opened or created are reported
// by an empty object or a false result. Not thread-safe: an object belongs to one thread at a
// time.
class TVYNIniFile {
 public:
  TVYNIniFile();
  // Loads FileName at once when it is not empty. AutoSave saves a modified object to FileName
  // when it is destroyed.
  explicit TVYNIniFile(StringView file_name, bool auto_save = false);
  TVYNIniFile(const TVYNIniFile&) = delete;
  TVYNIniFile& operator=(const TVYNIniFile&) = delete;
  virtual ~TVYNIniFile();

  // Sets Modified, and fires OnChange unless an update is in progress.
  virtual void Changed();
  virtual bool ValueExists(StringView section, StringView key) const;
  virtual bool SectionExists(StringView section) const;
  // No sections at all.
  virtual bool IsEmpty() const;
  // The value as a signed 32-bit integer (see TryParseIniInteger), or Default when the key is
  // missing or its value is not such a number.
  virtual int32_t ReadInteger(StringView section, StringView key, int32_t default_value) const;
  // Whether the key exists; Value is its text.
  virtual bool ReadValue(StringView section, StringView key, String& value) const;
  // Replaces the first line of Key in Section by "Key=Value", or appends one; a missing section
  // is created at the end.
  virtual void WriteString(StringView section, StringView key, StringView value);
  // Sets FileName and loads the file, shared with every other reader and writer. A file that
  // cannot be opened leaves the object empty. Clears Modified.
  virtual void LoadFromFile(StringView file_name);
  // Loads the rest of Stream; a byte order mark sets Encoding, text without one is read in the
  // system's ANSI code page.
  virtual void LoadFromStream(TStream& stream);
  virtual void LoadFromString(StringView text);
  // Writes the encoding's byte order mark and every section that has lines, each followed by a
  // blank line. A null Encoding means UTF-16LE. Stream errors propagate.
  virtual void SaveToStream(TStream& stream, const TEncoding* encoding = nullptr) const;
  // Saves a modified object to FileName in Encoding and clears Modified. False without a
  // FileName or when the file cannot be created; true when there was nothing to save.
  virtual bool UpdateFile();

  // The value when the key exists, even an empty one; Default otherwise.
  String ReadString(StringView section, StringView key, StringView default_value) const;
  // ReadInteger with Default as 1 or 0; true when the number is not 0.
  bool ReadBool(StringView section, StringView key, bool default_value) const;
  // "left,top,right,bottom"; each part an optional "-" and decimal digits, ASCII or full-width.
  // A part that does not parse, and every part after it, is 0; parts beyond the fourth are
  // ignored. Default when the key is missing.
  TRect ReadRect(StringView section, StringView key, const TRect& default_value) const;
  // Writes the bytes of a hexadecimal value into Stream at its position and rewinds Stream to 0.
  // False when the key is missing; false with Stream untouched for an odd number of digits;
  // false with Stream cut back to where writing began for a character that is not a digit.
  bool ReadStream(StringView section, StringView key, TStream& stream) const;

  void WriteInteger(StringView section, StringView key, int32_t value);
  void WriteBool(StringView section, StringView key, bool value);
  void WriteRect(StringView section, StringView key, const TRect& value);
  // All bytes of Stream from its start as upper-case hexadecimal; an empty stream deletes the
  // key instead.
  void WriteStream(StringView section, StringView key, TStream& stream);
  // Deletes the key when Value equals Default exactly (letter case included), else WriteString.
  void WriteStringOrDelete(StringView section, StringView key, StringView value,
                           StringView default_value);
  // Deletes the first line of Key; false when there is none. An emptied section stays but is not
  // saved.
  bool DeleteKey(StringView section, StringView key);
  bool EraseSection(StringView section);
  // Appends to List, in line order, the name of every line of Section whose name is not empty.
  void ReadKeys(StringView section, TVYNStringList& list) const;
  // The section's lines, each followed by CR LF; empty for a missing section.
  String ReadSectionText(StringView section) const;
  // Replaces every line of Section (created when missing) by the lines of Text.
  void WriteSectionText(StringView section, StringView text);
  // Brings in the sections of Source: keys into sections present here (an existing key only
  // with Overwrite), whole sections verbatim, comment lines included, where they are missing.
  void Merge(const TVYNIniFile& source, bool overwrite);
  void MergeFromFile(StringView file_name, bool overwrite);

  int SectionCount() const { return static_cast<int>(sections_.size()); }
  // An empty text outside the range.
  String SectionName(int index) const;
  TVYNIniFileSection& Section(int index) { return *sections_[static_cast<size_t>(index)]; }
  const TVYNIniFileSection& Section(int index) const {
    return *sections_[static_cast<size_t>(index)];
  }
  // The section of that name, or null.
  TVYNIniFileSection* FindSection(StringView name);
  const TVYNIniFileSection* FindSection(StringView name) const;

  void Clear();
  // Replaces the content with a copy of Source, made through its UTF-16LE image.
  void Assign(const TVYNIniFile& source);
  // Whether both have the same UTF-16LE image.
  bool Equals(const TVYNIniFile& other) const;
  // Replaces FileName's file (read-only and hidden attributes are cleared first) by the
  // content, shared with other readers and writers while it is written. False when the file
  // cannot be created; errors while writing propagate.
  bool SaveToFile(StringView file_name, const TEncoding* encoding = nullptr) const;

  void BeginUpdate();
  // Calls Changed when the counter comes back to 0, whether or not anything changed.
  void EndUpdate();

  const String& FileName() const { return file_name_; }
  void SetFileName(StringView file_name) { file_name_ = String(file_name); }
  bool AutoSave() const { return auto_save_; }
  void SetAutoSave(bool auto_save) { auto_save_ = auto_save; }
  // The encoding for UpdateFile: UTF-16LE unless a load found another one.
  const TEncoding& Encoding() const { return *encoding_; }
  void SetEncoding(const TEncoding& encoding) { encoding_ = &encoding; }
  bool Modified() const { return modified_; }
  void SetModified(bool modified) { modified_ = modified; }

  // Fired by Changed outside BeginUpdate/EndUpdate.
  std::function<void()> OnChange;

 private:
  TVYNIniFileSection* Find(StringView name) const;
  TVYNIniFileSection& FindOrAddSection(StringView name);
  void RemoveFromIndex(const TVYNIniFileSection& section);
  void ParseText(StringView text);
  // Leaves an update that an exception interrupted, without telling anybody.
  void AbandonUpdate();

  std::vector<std::unique_ptr<TVYNIniFileSection>> sections_;
  // The sections by name hash, so that loading a file of many sections stays linear.
  std::unordered_multimap<uint32_t, TVYNIniFileSection*> section_index_;
  mutable TVYNIniFileSection* last_found_ = nullptr;
  uint64_t next_order_ = 0;
  String file_name_;
  bool auto_save_ = false;
  const TEncoding* encoding_;
  bool modified_ = false;
  int update_count_ = 0;
};
