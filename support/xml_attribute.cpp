// XML attributes and the matching of XML names.
#include "support/xml_attribute.h"

#include <algorithm>

namespace {

char FoldAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool SameXMLName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

TVYNXMLAttribute* TVYNXMLAttributes::Add(std::string_view name, StringView value) {
  items_.push_back(
      std::make_unique<TVYNXMLAttribute>(TVYNXMLAttribute{std::string(name), String(value)}));
  return items_.back().get();
}

TVYNXMLAttribute* TVYNXMLAttributes::Find(std::string_view name) const {
  for (const auto& item : items_) {
    if (SameXMLName(item->Name, name)) return item.get();
  }
  return nullptr;
}

String TVYNXMLAttributes::GetValue(std::string_view name) const {
  const TVYNXMLAttribute* attribute = Find(name);
  return attribute ? attribute->Value : String();
}

bool TVYNXMLAttributes::Remove(std::string_view name) {
  const auto match = std::find_if(items_.begin(), items_.end(),
                                  [&](const auto& item) { return SameXMLName(item->Name, name); });
  if (match == items_.end()) return false;
  items_.erase(match);
  return true;
}

void TVYNXMLAttributes::Assign(const TVYNXMLAttributes& source) {
  if (&source == this) return;
  std::vector<std::unique_ptr<TVYNXMLAttribute>> copies;
  copies.reserve(source.items_.size());
  for (const auto& item : source.items_)
    copies.push_back(std::make_unique<TVYNXMLAttribute>(*item));
  items_ = std::move(copies);
}

TVYNXMLAttribute* TVYNXMLAttributes::Items(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return items_[static_cast<size_t>(index)].get();
}
