// What the package reader and builder share.
#include "package/setup_package.h"

#include "platform/locale.h"
#include "support/names.h"

void TSetupPackageFileTable::Add(TSetupPackageFileTableItem item) {
  by_upper_case_[platform::UpperCase(item.Name)].push_back(items_.size());
  items_.push_back(std::move(item));
}

const TSetupPackageFileTableItem* TSetupPackageFileTable::Find(StringView name) const {
  const auto candidates = by_upper_case_.find(platform::UpperCase(name));
  if (candidates == by_upper_case_.end()) return nullptr;
  for (const size_t index : candidates->second) {
    if (SameName(items_[index].Name, name)) return &items_[index];
  }
  return nullptr;
}
