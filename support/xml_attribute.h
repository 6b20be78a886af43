// XML attributes: a byte-string name with a text value, and the ordered list that a node owns.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"

// XML names are bytes and are never decoded. Two names match when they have the same length
// and the same bytes once ASCII a-z are folded to upper case; no other byte folds, so a name
// matches the same way whatever encoding its document used.
bool SameXMLName(std::string_view a, std::string_view b);

struct TVYNXMLAttribute {
  std::string Name;
  String Value;
};

// Duplicate names are allowed; every lookup by name finds the first match in list order.
class TVYNXMLAttributes {
 public:
  TVYNXMLAttributes() = default;
  TVYNXMLAttributes(TVYNXMLAttributes&&) = default;
  TVYNXMLAttributes& operator=(TVYNXMLAttributes&&) = default;
  TVYNXMLAttributes(const TVYNXMLAttributes&) = delete;
  TVYNXMLAttributes& operator=(const TVYNXMLAttributes&) = delete;

  // Appends at the end. The attribute stays at its address while it is in the list.
  TVYNXMLAttribute* Add(std::string_view name, StringView value = {});
  TVYNXMLAttribute* Find(std::string_view name) const;
  // The value of the first match, or an empty text when there is none.
  String GetValue(std::string_view name) const;
  // Removes and frees the first match; false when there was none.
  bool Remove(std::string_view name);
  // Replaces the list with copies of Source's attributes.
  void Assign(const TVYNXMLAttributes& source);
  void Clear() { items_.clear(); }

  int Count() const { return static_cast<int>(items_.size()); }
  // nil when Index is out of range.
  TVYNXMLAttribute* Items(int index) const;

 private:
  std::vector<std::unique_ptr<TVYNXMLAttribute>> items_;
};
