// What the package reader and builder share.
#include "package/setup_package.h"

#include "support/names.h"

const TSetupPackageFileTableItem* TSetupPackageFileTable::Find(StringView name) const {
  for (const TSetupPackageFileTableItem& item : items_) {
    if (SameName(item.Name, name)) return &item;
  }
  return nullptr;
}
