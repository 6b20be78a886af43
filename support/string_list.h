// TVYNStringList: an ordered list of texts with name=value operations.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/exception.h"
#include "platform/text.h"
#include "support/encoding.h"
#include "support/stream.h"

// An index outside the list: a programming fault, never caused by the content of a file.
class EListError : public Exception {
 public:
  using Exception::Exception;
};

// Every comparison of the list is the platform's locale-aware one, ignoring letter case while
// IgnoreCase is set (the default). The name of an item is its text before the first
// NameValueSeparator, its value the text after it; an item without a separator has an empty
// name, and its value is the whole text.
class TVYNStringList {
 public:
  struct TItem {
    String Text;
    void* Object = nullptr;
    std::shared_ptr<void> Interface;
    // A cache for lists that look items up by name (INI sections): 0 until computed.
    mutable uint32_t NameHash = 0;
  };

  TVYNStringList() = default;
  TVYNStringList(const TVYNStringList&) = delete;
  TVYNStringList& operator=(const TVYNStringList&) = delete;
  virtual ~TVYNStringList() = default;

  // Copies the items and the comparison settings of Source.
  virtual void Assign(const TVYNStringList& source);

  // Called when a change ends outside BeginUpdate/EndUpdate; the list itself does nothing.
  virtual void Changed() {}
  virtual void Put(int index, StringView text);
  // Replaces the items with the lines of Text (see ForEachLine).
  virtual void SetText(StringView text);
  virtual void BeginUpdate();
  // Calls Changed when the counter comes back to 0, whether or not anything changed.
  virtual void EndUpdate();
  // Replaces the items with the lines of the rest of Stream, decoded as ReadStreamText does.
  virtual void LoadFromStream(TStream& stream, const TEncoding* default_encoding = nullptr);
  // The encoding's byte order mark, then GetText; a null Encoding means UTF-16LE.
  virtual void SaveToStream(TStream& stream, const TEncoding* encoding = nullptr) const;
  virtual void Insert(int index, StringView text, void* object = nullptr,
                      std::shared_ptr<void> interface = nullptr);
  // The first item whose whole text equals Text, or -1.
  virtual int IndexOf(StringView text) const;
  virtual void Clear();

  int Add(StringView text);
  int Count() const { return static_cast<int>(items_.size()); }
  // An empty text outside the range.
  const String& Items(int index) const;
  void* Objects(int index) const;
  String Names(int index) const;
  String ValueFromIndex(int index) const;
  // The last item whose text begins with Name and the separator, or -1.
  int IndexOfName(StringView name) const;
  // The value of the item IndexOfName finds, or an empty text.
  String GetValue(StringView name) const;
  // Replaces the value of the item IndexOfName finds, or adds "Name=Value" at the end; an empty
  // Value deletes that item instead.
  void SetValue(StringView name, StringView value);
  // The items joined with CR LF, with a CR LF after the last one.
  String GetText() const;
  void Delete(int index);
  // Locale order with letter case counting. Equal items keep their order.
  void Sort();
  // Natural order ignoring case: runs of digits compare as numbers. Equal items keep their order.
  void SortLogical();
  int Capacity() const { return static_cast<int>(items_.capacity()); }
  void SetCapacity(int capacity);

  char16_t NameValueSeparator() const { return name_value_separator_; }
  void SetNameValueSeparator(char16_t separator) { name_value_separator_ = separator; }
  bool IgnoreCase() const { return ignore_case_; }
  void SetIgnoreCase(bool ignore_case) { ignore_case_ = ignore_case; }

  // Natural order of two texts ignoring case, as SortLogical uses it: negative, 0 or positive.
  static int CompareLogical(StringView a, StringView b);

 protected:
  const TItem& Item(int index) const { return items_[static_cast<size_t>(index)]; }
  // Ends a change: Changed, unless an update is in progress.
  void NotifyChange();

 private:
  // Leaves an update that an exception interrupted, without telling anybody.
  void AbandonUpdate();
  void CheckIndex(int index, int limit) const;
  bool TextsEqual(StringView a, StringView b) const;

  std::vector<TItem> items_;
  char16_t name_value_separator_ = u'=';
  bool ignore_case_ = true;
  int update_count_ = 0;
};
