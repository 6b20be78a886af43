// TVYNStringList.
#include "support/string_list.h"

#include <algorithm>
#include <string>

#include "platform/locale.h"
#include "support/names.h"
#include "support/text_reader.h"

namespace {

TVYNStringList::TItem MakeItem(StringView text, void* object = nullptr,
                               std::shared_ptr<void> interface = nullptr) {
  TVYNStringList::TItem item;
  item.Text = String(text);
  item.Object = object;
  item.Interface = std::move(interface);
  return item;
}

}  // namespace

void TVYNStringList::Assign(const TVYNStringList& source) {
  if (&source == this) return;
  items_ = source.items_;
  name_value_separator_ = source.name_value_separator_;
  ignore_case_ = source.ignore_case_;
  NotifyChange();
}

void TVYNStringList::Put(int index, StringView text) {
  CheckIndex(index, Count());
  TItem& item = items_[static_cast<size_t>(index)];
  item.Text = String(text);
  item.NameHash = 0;
  NotifyChange();
}

void TVYNStringList::SetText(StringView text) {
  BeginUpdate();
  try {
    items_.clear();
    ForEachLine(text, [this](StringView line) { items_.push_back(MakeItem(line)); });
  } catch (...) {
    AbandonUpdate();
    throw;
  }
  EndUpdate();
}

void TVYNStringList::BeginUpdate() {
  ++update_count_;
}

void TVYNStringList::EndUpdate() {
  if (update_count_ == 0) return;
  if (--update_count_ == 0) Changed();
}

void TVYNStringList::AbandonUpdate() {
  if (update_count_ > 0) --update_count_;
}

void TVYNStringList::NotifyChange() {
  if (update_count_ == 0) Changed();
}

void TVYNStringList::LoadFromStream(TStream& stream, const TEncoding* default_encoding) {
  BeginUpdate();
  try {
    SetText(ReadStreamText(stream, default_encoding));
  } catch (...) {
    AbandonUpdate();
    throw;
  }
  EndUpdate();
}

void TVYNStringList::SaveToStream(TStream& stream, const TEncoding* encoding) const {
  const TEncoding& target = encoding != nullptr ? *encoding : TEncoding::Unicode();
  const std::vector<uint8_t> preamble = target.GetPreamble();
  stream.WriteBuffer(preamble.data(), static_cast<int64_t>(preamble.size()));
  const std::vector<uint8_t> bytes = target.GetBytes(GetText());
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TVYNStringList::Insert(int index, StringView text, void* object,
                            std::shared_ptr<void> interface) {
  CheckIndex(index, Count() + 1);
  items_.insert(items_.begin() + index, MakeItem(text, object, std::move(interface)));
  NotifyChange();
}

int TVYNStringList::IndexOf(StringView text) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (TextsEqual(items_[i].Text, text)) return static_cast<int>(i);
  }
  return -1;
}

void TVYNStringList::Clear() {
  items_.clear();
  NotifyChange();
}

int TVYNStringList::Add(StringView text) {
  items_.push_back(MakeItem(text));
  NotifyChange();
  return Count() - 1;
}

const String& TVYNStringList::Items(int index) const {
  static const String empty;
  if (index < 0 || index >= Count()) return empty;
  return Item(index).Text;
}

void* TVYNStringList::Objects(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return Item(index).Object;
}

String TVYNStringList::Names(int index) const {
  if (index < 0 || index >= Count()) return String();
  const String& text = Item(index).Text;
  const size_t separator = text.find(name_value_separator_);
  return separator == String::npos ? String() : text.substr(0, separator);
}

String TVYNStringList::ValueFromIndex(int index) const {
  if (index < 0 || index >= Count()) return String();
  const String& text = Item(index).Text;
  const size_t separator = text.find(name_value_separator_);
  return separator == String::npos ? text : text.substr(separator + 1);
}

int TVYNStringList::IndexOfName(StringView name) const {
  for (int i = Count() - 1; i >= 0; --i) {
    const StringView text = Item(i).Text;
    if (text.size() > name.size() && text[name.size()] == name_value_separator_ &&
        TextsEqual(text.substr(0, name.size()), name)) {
      return i;
    }
  }
  return -1;
}

String TVYNStringList::GetValue(StringView name) const {
  const int index = IndexOfName(name);
  return index < 0 ? String() : ValueFromIndex(index);
}

void TVYNStringList::SetValue(StringView name, StringView value) {
  const int index = IndexOfName(name);
  if (value.empty()) {
    if (index >= 0) Delete(index);
    return;
  }
  const String text = String(name) + name_value_separator_ + String(value);
  if (index >= 0) {
    Put(index, text);
  } else {
    Add(text);
  }
}

String TVYNStringList::GetText() const {
  size_t length = 0;
  for (const TItem& item : items_) length += item.Text.size() + 2;
  String text;
  text.reserve(length);
  for (const TItem& item : items_) {
    text += item.Text;
    text += u"\r\n";
  }
  return text;
}

void TVYNStringList::Delete(int index) {
  CheckIndex(index, Count());
  items_.erase(items_.begin() + index);
  NotifyChange();
}

void TVYNStringList::Sort() {
  std::stable_sort(items_.begin(), items_.end(), [](const TItem& a, const TItem& b) {
    return platform::CompareText(a.Text, b.Text) < 0;
  });
  NotifyChange();
}

void TVYNStringList::SortLogical() {
  std::stable_sort(items_.begin(), items_.end(), [](const TItem& a, const TItem& b) {
    return CompareLogical(a.Text, b.Text) < 0;
  });
  NotifyChange();
}

namespace {

bool IsDigit(char16_t unit) {
  return unit >= u'0' && unit <= u'9';
}

}  // namespace

int TVYNStringList::CompareLogical(StringView a, StringView b) {
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      // Runs of any length compare as numbers without being converted to one: leading zeros
      // are skipped, a longer rest is the larger number, and equal lengths compare digit by
      // digit.
      const size_t a_end = std::find_if_not(a.begin() + i, a.end(), IsDigit) - a.begin();
      const size_t b_end = std::find_if_not(b.begin() + j, b.end(), IsDigit) - b.begin();
      while (i + 1 < a_end && a[i] == u'0') ++i;
      while (j + 1 < b_end && b[j] == u'0') ++j;
      if (a_end - i != b_end - j) return a_end - i < b_end - j ? -1 : 1;
      for (; i < a_end; ++i, ++j) {
        if (a[i] != b[j]) return a[i] < b[j] ? -1 : 1;
      }
      continue;
    }
    const int result = platform::CompareTextIgnoringCase(a.substr(i, 1), b.substr(j, 1));
    if (result != 0) return result;
    ++i;
    ++j;
  }
  const bool a_done = i == a.size();
  const bool b_done = j == b.size();
  if (a_done == b_done) return 0;
  return a_done ? -1 : 1;
}

void TVYNStringList::SetCapacity(int capacity) {
  if (capacity > 0) items_.reserve(static_cast<size_t>(capacity));
}

void TVYNStringList::CheckIndex(int index, int limit) const {
  if (index < 0 || index >= limit) {
    throw EListError(u"List index out of bounds (" + Utf8ToString(std::to_string(index)) + u")");
  }
}

bool TVYNStringList::TextsEqual(StringView a, StringView b) const {
  if (ignore_case_) return SameName(a, b);
  return a.size() == b.size() && platform::CompareText(a, b) == 0;
}
